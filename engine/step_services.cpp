#include "engine/step_services.h"

#include "engine/engine.h"

namespace cv {

// Its place in the run's order is fixed; the table is read and carried out in a later change.
void InstallServices(CCVEngine&) {}

} // namespace cv
