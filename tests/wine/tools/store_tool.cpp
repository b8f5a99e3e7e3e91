// Runs the project store's changes in a loop in its current directory, for
// tests that kill it at random moments: remove "Churn", add it back, forever.
#include <windows.h>

#include "projects/projects.h"

int main() {
    for (;;) {
        RemoveProjectLines("churn");
        AppendProjectLine("Churn", "C:\\ed.exe", {"C:\\churn.pb"});
    }
}
