#include "app/state.h"

ApplicationState gApp;
