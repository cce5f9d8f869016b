#include "demo/DemoLedger.h"
