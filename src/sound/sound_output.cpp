#include "sound/sound_output.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <future>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_map>

#include "sound/mix_rules.h"

namespace lmvn::sound {

namespace {

using Clock = std::chrono::steady_clock;

// Cues waiting for the worker beyond this are dropped: a frame never waits for sound.
constexpr std::size_t kMaxQueued = 64;
// The device is let go after this long without a sound, so a quiet saver costs nothing.
constexpr auto kIdleClose = std::chrono::seconds(4);

// ALSA's library prints its own complaints on stderr when there is no device; the one line
// below says it all. (SDL loads the library itself; this only reaches it when it is there.)
extern "C" void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsaComplaints() {
  if (void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL)) {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    if (auto set = reinterpret_cast<int (*)(Handler)>(dlsym(alsa, "snd_lib_error_set_handler"))) {
      set(QuietAlsa);
    }
  }
}

std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The length of a RIFF wave from its header, before anything is decoded; a negative value for
// a file that is no RIFF wave (other formats are measured once decoded).
double WaveSeconds(const std::vector<unsigned char>& b) {
  if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 ||
      std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
    return -1.0;
  }
  std::uint32_t byteRate = 0;
  std::size_t at = 12;
  while (at + 8 <= b.size()) {
    const std::uint32_t size = Le32(b.data() + at + 4);
    const std::size_t body = at + 8;
    if (std::memcmp(b.data() + at, "fmt ", 4) == 0 && body + 12 <= b.size()) {
      byteRate = Le32(b.data() + body + 8);
    } else if (std::memcmp(b.data() + at, "data", 4) == 0) {
      if (byteRate == 0) return 0.0;  // left to the decoder to refuse
      const std::size_t held = std::min<std::size_t>(size, b.size() - body);
      return static_cast<double>(held) / byteRate;
    }
    at = body + size + (size & 1u);
    if (at < body) break;  // wrapped
  }
  return 0.0;
}

class SdlMixer final : public SoundOutput {
 public:
  void Play(const std::string& path, CuePlace place) override { Queue({path, place, {}, true}); }

  Refusal PlayChecked(const std::string& path, std::chrono::milliseconds wait) override {
    auto reply = std::make_shared<std::promise<Refusal>>();
    std::future<Refusal> answer = reply->get_future();
    Queue({path, CuePlace{}, reply, true});
    if (answer.wait_for(wait) != std::future_status::ready) return Refusal::None;
    try {
      return answer.get();
    } catch (const std::future_error&) {  // dropped unheard: the queue was full
      return Refusal::None;
    }
  }

  void Preload(const std::string& path) override { Queue({path, CuePlace{}, {}, false}); }

  void Stop() override {
    std::lock_guard lock(mutex_);
    queue_.clear();
    stopping_ = true;
    // The worker silences the voices and closes the device by itself: closing lets the last
    // period drain (some hundreds of milliseconds), which an ending program does not wait for.
    wake_.notify_all();
  }

 private:
  struct Request {
    std::string path;
    CuePlace place;
    std::shared_ptr<std::promise<Refusal>> reply;
    bool play = true;
  };
  struct Loaded {
    FileStamp stamp;
    Mix_Chunk* chunk = nullptr;
    Refusal refusal = Refusal::None;
  };

  void Queue(Request request) {
    if (request.path.empty()) return;
    std::lock_guard lock(mutex_);
    if (queue_.size() >= kMaxQueued) return;
    queue_.push_back(std::move(request));
    stopping_ = false;
    if (!running_) {
      running_ = true;
      std::thread([this] { Work(); }).detach();
    }
    wake_.notify_one();
  }

  void Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait_for(lock, std::chrono::milliseconds(500),
                     [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) {
        lock.unlock();
        Close();
        lock.lock();
        if (stopping_) break;  // else a cue came while closing: carry on
        continue;
      }
      if (queue_.empty()) {
        lock.unlock();
        if (open_ && Mix_Playing(-1) == 0 && Clock::now() - lastStart_ > kIdleClose) Close();
        lock.lock();
        continue;
      }
      Request request = std::move(queue_.front());
      queue_.pop_front();
      lock.unlock();
      const Loaded& loaded = Load(request.path);
      if (request.reply) request.reply->set_value(loaded.refusal);
      if (request.play && loaded.chunk) Start(loaded.chunk, request.place);
      lock.lock();
    }
    running_ = false;
  }

  bool Open() {
    if (open_) return true;
    if (deviceFailed_) return false;
    // The program handles its own signals; SDL must not take SIGTERM.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_APP_NAME, "Lumivane");
    SilenceAlsaComplaints();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
      // Float samples mix for half the cost of 16-bit ones here; 8192 frames (186 ms) keep the
      // sound server's wake-ups to about 30 a second. A burst's sound trails its light by about
      // that much, as it does out of doors.
      if (Mix_OpenAudio(44100, AUDIO_F32SYS, 2, 8192) == 0) {
        Mix_AllocateChannels(kVoices);
        int rate = 0, channels = 0;
        Uint16 format = 0;
        Mix_QuerySpec(&rate, &format, &channels);
        if (rate != rate_ || format != format_ || channels != channels_) Forget();
        rate_ = rate;
        format_ = format;
        channels_ = channels;
        open_ = true;
        started_.fill(0);
        return true;
      }
      ReportNoDevice();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
    } else {
      ReportNoDevice();
    }
    deviceFailed_ = true;
    return false;
  }

  void Close() {
    if (!open_) return;
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
  }

  // Drops every decoded sound (the device's format changed).
  void Forget() {
    for (auto& [path, loaded] : cache_) {
      if (loaded.chunk) Mix_FreeChunk(loaded.chunk);
    }
    cache_.clear();
  }

  static void ReportNoDevice() {
    std::fprintf(stderr, "lumivane: no sound device (%s): sound effects stay silent\n",
                 SDL_GetError());
    std::fflush(stderr);
  }

  // The file decoded for the device, checked and decoded once for each stamp it has. The
  // file's own faults are found with or without a device.
  const Loaded& Load(const std::string& path) {
    const bool device = Open();  // first: a device that comes back in a new format drops the cache
    const FileStamp now = StampOf(path);
    if (const auto it = cache_.find(path);
        it != cache_.end() && it->second.stamp == now && it->second.refusal != Refusal::NoDevice) {
      return it->second;
    }
    Loaded fresh;
    std::vector<unsigned char> bytes;
    fresh.refusal = ReadSoundFile(path, bytes, fresh.stamp);
    if (fresh.refusal == Refusal::None && WaveSeconds(bytes) > kMaxSeconds) {
      fresh.refusal = Refusal::TooLong;
    }
    if (fresh.refusal == Refusal::None) {
      if (!device) {
        fresh.refusal = Refusal::NoDevice;
      } else {
        SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
        fresh.chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
        const double bytesPerSecond =
            static_cast<double>(rate_) * channels_ * (SDL_AUDIO_BITSIZE(format_) / 8);
        if (!fresh.chunk) {
          fresh.refusal = Refusal::Undecodable;
        } else if (bytesPerSecond > 0 && fresh.chunk->alen / bytesPerSecond > kMaxSeconds) {
          Mix_FreeChunk(fresh.chunk);
          fresh.chunk = nullptr;
          fresh.refusal = Refusal::TooLong;
        }
      }
    }
    if (fresh.refusal != Refusal::None && fresh.refusal != Refusal::NoDevice &&
        reported_.insert(path).second) {
      std::fprintf(stderr, "lumivane: sound file %s: %s; it stays silent\n", path.c_str(),
                   RefusalText(fresh.refusal).data());
      std::fflush(stderr);
    }
    Loaded& slot = cache_[path];
    if (slot.chunk) {
      for (int v = 0; v < kVoices; ++v) {
        if (Mix_GetChunk(v) == slot.chunk) Mix_HaltChannel(v);
      }
      Mix_FreeChunk(slot.chunk);
    }
    slot = fresh;
    return slot;
  }

  void Start(Mix_Chunk* chunk, CuePlace place) {
    if (!open_) return;
    std::array<bool, kVoices> busy{};
    for (int v = 0; v < kVoices; ++v) busy[static_cast<std::size_t>(v)] = Mix_Playing(v) != 0;
    const int voice = PickVoice(busy, started_);
    if (voice < 0) return;
    // A halted voice drops its panning, so the new one is set between halt and start.
    if (busy[static_cast<std::size_t>(voice)]) Mix_HaltChannel(voice);
    const Gains gains = PlaceGains(place);
    auto level = [](float g) { return static_cast<Uint8>(std::clamp(g, 0.0f, 1.0f) * 255.0f); };
    Mix_SetPanning(voice, level(gains.left), level(gains.right));
    if (Mix_PlayChannel(voice, chunk, 0) >= 0) {
      started_[static_cast<std::size_t>(voice)] = ++serial_;
      lastStart_ = Clock::now();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Request> queue_;
  bool running_ = false;
  bool stopping_ = false;

  // The worker's own.
  bool open_ = false;
  bool deviceFailed_ = false;
  int rate_ = 0;
  int channels_ = 0;
  Uint16 format_ = 0;
  std::unordered_map<std::string, Loaded> cache_;
  std::set<std::string> reported_;
  std::array<std::uint64_t, kVoices> started_{};
  std::uint64_t serial_ = 0;
  Clock::time_point lastStart_{};
};

std::unique_ptr<SoundOutput>& Installed() {
  static std::unique_ptr<SoundOutput> output;
  return output;
}

}  // namespace

SoundOutput& Mixer() {
  static SoundOutput* const mixer = new SdlMixer;  // never destroyed, see the header
  return *mixer;
}

SoundOutput& Sound() {
  return Installed() ? *Installed() : Mixer();
}

void SetSoundOutput(std::unique_ptr<SoundOutput> output) {
  Installed() = std::move(output);
}

}  // namespace lmvn::sound
