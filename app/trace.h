#pragma once
/// SendTrace: one time-stamped line to a monitor window of class "AmbrelEvent", when one
/// runs. Callable from any thread; never affects the run (a monitor that does not answer
/// within two seconds is given up on).

#include <string>

namespace cv {

void SendTrace(const std::string& text);

} // namespace cv
