#include "admin/AdminCommands.h"
