#include "tagwriter.h"

#include <taglib/aifffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <memory>

namespace TonveraFile {

namespace {

void setTkey(TagLib::ID3v2::Tag* tag, const std::string& key) {
  tag->removeFrames("TKEY");
  auto frame = std::make_unique<TagLib::ID3v2::TextIdentificationFrame>("TKEY", TagLib::String::Latin1);
  frame->setText(TagLib::String(key));
  tag->addFrame(frame.release()); // the tag owns its frames
}

void setInitialKey(TagLib::Ogg::XiphComment* comment, const std::string& key) {
  comment->addField("INITIALKEY", TagLib::String(key), true);
}

} // namespace

std::string writeKeyTag(const std::string& path, const std::string& shortKey) {
  TagLib::FileRef ref(path.c_str(), false);
  if (ref.isNull()) return "cannot open for tagging";
  TagLib::File* file = ref.file();
  if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file)) {
    TagLib::ID3v2::Tag* tag = mpeg->ID3v2Tag(true);
    // An existing tag keeps its version; a new one is ID3v2.4.
    const TagLib::ID3v2::Version version =
        tag->header()->majorVersion() == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4;
    setTkey(tag, shortKey);
    // Only the ID3v2 tag is written; ID3v1 and APE tags stay as they are.
    return mpeg->save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone, version, TagLib::File::DoNotDuplicate)
               ? ""
               : "cannot save the tag";
  }
  if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file)) setInitialKey(flac->xiphComment(true), shortKey);
  else if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file)) setInitialKey(vorbis->tag(), shortKey);
  else if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file)) setInitialKey(opus->tag(), shortKey);
  else if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(file)) setTkey(wav->ID3v2Tag(), shortKey);
  else if (auto* aiff = dynamic_cast<TagLib::RIFF::AIFF::File*>(file)) setTkey(aiff->tag(), shortKey);
  else return "no key field in this file format";
  return file->save() ? "" : "cannot save the tag";
}

} // namespace TonveraFile
