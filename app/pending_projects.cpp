// Placeholders until creating and deleting projects land. This file goes away with them.
#include "projects/projects.h"

void CreateProject() {}
bool DeleteSelectedProject() { return false; }
