#pragma once

#include <cerrno>
#include <string>
#include <string_view>

#include "data_access/error_info.h"
#include "data_access/result_codes.h"

namespace tablift {

// The text of a failed data access call, from the error object the call left
// on this thread: the first record's description, the error object's own
// description when it has no records, "" when the first record cannot be read,
// and "Unknown Error!" when there is nothing to read. Call it on the failing
// thread right after the failure; it consumes the thread's error object.
std::string DescribeOleDbError(const ErrorInfoSupport* object, InterfaceId iid);

// "<step> \r\n failed with error code:[0x<code>] \r\n discription:<message>",
// the message being the description of the result code ("" when unknown).
std::string DescribeStepFailure(HResult code, std::string_view step);

// The same three-line text for a failed system call, with the error number and
// its system description.
std::string DescribeSystemError(std::string_view step, int error = errno);

}  // namespace tablift
