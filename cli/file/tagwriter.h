#ifndef TONVERA_FILE_TAGWRITER_H
#define TONVERA_FILE_TAGWRITER_H

#include <string>

namespace TonveraFile {

// Writes the key, in its short form ("Am", "C", "Bbm"), into the file's own
// key field: ID3v2 TKEY for MP3, WAV and AIFF, the INITIALKEY comment for FLAC,
// Ogg Vorbis and Opus. Every other tag and the audio are left as they are.
// Returns an empty string, or what went wrong.
std::string writeKeyTag(const std::string& path, const std::string& shortKey);

} // namespace TonveraFile

#endif
