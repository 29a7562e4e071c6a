// Entries of the particle editor whose tools (system exchange, GUID checks,
// map manifest, batch operations) are built separately; until then they do
// nothing.
#include "VParticle.h"

void VParticle::particleImport() {}

void VParticle::particleExport() {}

void VParticle::particleEnsureUniqueGUIDsingle() {}

void VParticle::particleEnsureUniqueGUIDmultiple() {}

void VParticle::particleFindSystem() {}

void VParticle::particleGenerateMapManifest() {}

void VParticle::particleMassFormat() {}
