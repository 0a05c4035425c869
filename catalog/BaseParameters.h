#pragma once

#include "catalog/CatalogData.h"

namespace catalog {

// The values every robot starts from before its own figures are filled in: one set for the
// standard controllers and one for the pulse-train controllers.
ParameterValues BaseParameters(bool pulseTrain);

} // namespace catalog
