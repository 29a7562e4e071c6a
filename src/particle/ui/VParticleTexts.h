#pragma once

#include <QString>

// Texts the particle editor's own files share: the file-dialog filters and
// the warnings of its context operations.
namespace VParticleText {
inline const char *const PcfFilter = "Particle Configuration File (*.pcf)";
inline const char *const MapFilter = "Valve Binary Space Partition (*.bsp)";
inline const char *const PreserveGuids = "Preserve GUID Information";
inline const char *const NotFoundWarning =
    "Attribute removal did not find attribute in parent list.";
inline const char *const GenericElementWarning = "No deletion rules for generic element!";

// The constants above, and the particle core's, are plain Latin-1.
inline QString latin1(const char *text)
{
    return QString::fromLatin1(text);
}
} // namespace VParticleText
