#include "ui/Application.h"
#include "ui/Wiring.h"

namespace q24 {

void WireLink(Application& app) { (void)app; }

}  // namespace q24
