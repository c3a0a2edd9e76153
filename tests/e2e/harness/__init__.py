"""The parts of the end-to-end test runner e2e.py, one concern each."""
