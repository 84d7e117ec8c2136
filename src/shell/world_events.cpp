#include "shell/world_events.h"
