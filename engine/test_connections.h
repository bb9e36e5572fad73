#pragma once

#include "core/connection_profile.h"
#include "core/prompter.h"

namespace tablift {

// The configuration dialog's connection test: opens the source's data source
// and then the target's with the properties the connect command would use
// (the providers given by display name), tells the user how each went
// ("Source Connection Successful!", or "Source DB Connect ERROR!" followed by
// the provider's reason; the same for the target) and releases both. When the
// target's properties cannot be built the target is not tried; the property
// builder's reason is told instead. Everything is told in one message box,
// an error box when anything failed.
void TestConnections(const ConnectionProfile& source, const ConnectionProfile& target,
                     Prompter& prompter);

}  // namespace tablift
