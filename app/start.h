#pragma once

namespace velinor {

// Shows the first screen, the administrator gate.
void start();

} // namespace velinor
