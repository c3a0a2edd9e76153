"""A JUnit XML report as a CI server reads it: through junitparser."""

from pathlib import Path

from .common import SetupError


def junit_lines(path: Path) -> list[str]:
    """The report's suites, their counts and each case with its class, its
    outcome and a failure's message and text (its lines as they are)."""
    try:
        from junitparser import JUnitXml, JUnitXmlError
    except ImportError:
        raise SetupError("junitparser is missing: scripts/setup.sh test installs "
                         "python3-junitparser") from None
    try:
        report = JUnitXml.fromfile(str(path))
    except (JUnitXmlError, SyntaxError) as error:
        raise SetupError(f"junitparser cannot read it: {error}") from None
    lines = [f"suites {report.name}: {report.tests} tests, {report.failures} failures"]
    for suite in report:
        lines.append(f"suite {suite.name}: {suite.tests} tests, {suite.failures} failures, "
                     f"{suite.errors} errors, {suite.skipped} skipped")
        for case in suite:
            lines.append(f"case {case.classname} / {case.name}: "
                         f"{'passed' if case.is_passed else 'failed'}")
            for result in case.result:
                lines.append(f"{type(result).__name__.lower()}: {result.message}")
                lines += (result.text or "").splitlines()
    return lines
