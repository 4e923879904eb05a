#include "app/piece_sound.h"

#include <alsa/asoundlib.h>

#include <thread>

#include "platform/files.h"

namespace app {

namespace {

void Quiet(const char*, int, const char*, int, const char*, ...) {}

void PlayBlocking(std::shared_ptr<const std::string> data, WaveFormat f) {
  snd_pcm_t* pcm = nullptr;
  if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return;
  const snd_pcm_format_t format = f.bits == 16 ? SND_PCM_FORMAT_S16_LE : SND_PCM_FORMAT_U8;
  if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, f.channels, f.rate, 1, 100000) == 0) {
    const size_t frame = static_cast<size_t>(f.channels) * (f.bits / 8);
    const char* bytes = data->data() + f.data_offset;
    snd_pcm_uframes_t left = f.data_size / frame;
    while (left > 0) {
      snd_pcm_sframes_t n = snd_pcm_writei(pcm, bytes, left);
      if (n < 0) n = snd_pcm_recover(pcm, static_cast<int>(n), 1);
      if (n < 0) break;
      bytes += n * frame;
      left -= n;
    }
    snd_pcm_drain(pcm);
  }
  snd_pcm_close(pcm);
}

}  // namespace

bool PieceSound::Load(const std::string& cp932_path) {
  data_.reset();
  auto bytes = std::make_shared<std::string>();
  WaveFormat f;
  if (!platform::ReadWholeFile(cp932_path, *bytes) || !ParseWave(*bytes, f)) return false;
  snd_lib_error_set_handler(Quiet);  // no device is no error worth a line on the terminal
  format_ = f;
  data_ = std::move(bytes);
  return true;
}

void PieceSound::Play() const {
  if (!data_) return;
  std::thread(PlayBlocking, data_, format_).detach();
}

}  // namespace app
