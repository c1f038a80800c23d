// orbicutter as a library: whole molecules, clusters and dimers of a molecular
// crystal from a keyword input text.
#pragma once

#include "orbicutter/error.hpp"
#include "orbicutter/structure.hpp"
#include "orbicutter/types.hpp"
