#include "engine/step_registry.h"

#include "engine/engine.h"

namespace cv {

// Its place in the run's order is fixed; the table is read and carried out in a later change.
void WriteRegistryEntries(CCVEngine&) {}

} // namespace cv
