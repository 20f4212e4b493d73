#pragma once

// The simulated box behind a fake socket now comes with the rig.

#include "rig.h"
