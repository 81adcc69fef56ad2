// COM base services.
#pragma once

#include "unknwn.h"
