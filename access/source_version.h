#pragma once

#include <string>

#include "data_access/session.h"

namespace tablift {

class JobContext;

// The source's version text for the DBMS name: an Access source reports none,
// so this is "" with a session (the connect flow then keeps the provider's
// own name), and "No Connection!" (also written to the log) without one.
std::string SourceVersion(JobContext& job, Session* session);

}  // namespace tablift
