// Reads one property of a management (WMI) class as text.
#pragma once

#include <string>

#include "platform/Wmi.h"
#include "report/Report.h"

namespace dorvanta {

// The property's value on the last instance of the class in root\cimv2; empty
// when the class has no instance and, after an error report to `sink`, on any failure.
std::wstring WmiQuery(ReportSink& sink, const std::wstring& className,
                      const std::wstring& property);

// The failure of a query as the error report says it, without "ERROR: ".
std::wstring DescribeWmiFailure(const platform::WmiFailure& failure, const std::wstring& className,
                                const std::wstring& property);

}  // namespace dorvanta
