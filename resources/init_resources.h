#pragma once

// The resource tree lives in a static library: whoever uses it calls this once.
void quelt_init_resources();
