// Placeholders until the folder tree and the file collection land. This file goes away with them.
#include "app/app.h"

void AddTreeFile() {}
void RemoveListedFile() {}
