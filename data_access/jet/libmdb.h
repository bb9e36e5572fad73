#pragma once

// libmdb's header includes glib.h inside its extern "C" block, where glib's
// C++ parts (templates) cannot be declared; including glib first keeps them
// outside.
#include <glib.h>

#include <mdbtools.h>
