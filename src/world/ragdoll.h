#pragma once

// Reads "ragdoll.rag" into the template, fills digitSegments and builds the
// crowd table. Run by every rendering set-up.
void buildRagdollCrowd();
