#include "platform/audio/Mixer.h"

#include "platform/audio/Voice.h"

#include <algorithm>
#include <thread>

namespace platform::audio {

Mixer::Mixer()
{
    for (auto& slot : slots_) {
        slot.store(nullptr, std::memory_order_relaxed);
    }
}

int Mixer::Attach(Voice& voice)
{
    for (int i = 0; i < MaxVoices; ++i) {
        Voice* expected = nullptr;
        if (slots_[static_cast<std::size_t>(i)].compare_exchange_strong(expected, &voice)) {
            return i;
        }
    }
    return -1;
}

void Mixer::Detach(int slot, const Fade& fade)
{
    if (slot < 0 || slot >= MaxVoices) {
        return;
    }
    for (std::size_t i = 0; i < fades_.size() && fade.remaining > 0; ++i) {
        PendingFade& pending = fades_[i];
        int free = 0;
        if (pending.remaining.compare_exchange_strong(free, -1, std::memory_order_acq_rel)) {
            pending.levels = fade.levels;
            pending.remaining.store(std::min(fade.remaining, Voice::DeclickFrames), std::memory_order_release);
            break;
        }
    }
    slots_[static_cast<std::size_t>(slot)].store(nullptr, std::memory_order_seq_cst);
    // A pass that began before the store may still hold the voice: wait for it.
    const std::uint64_t seen = passes_.load(std::memory_order_seq_cst);
    if ((seen & 1U) != 0) {
        int spins = 0;
        while (passes_.load(std::memory_order_seq_cst) == seen) {
            if (++spins > 64) {
                std::this_thread::yield();
            }
        }
    }
}

int Mixer::VoiceCount() const
{
    int count = 0;
    for (const auto& slot : slots_) {
        count += slot.load(std::memory_order_relaxed) != nullptr ? 1 : 0;
    }
    return count;
}

int Mixer::MixPeriod(std::span<float> mix, int frames, const std::array<std::atomic<bool>, MaxVoices>* starting)
{
    passes_.fetch_add(1, std::memory_order_seq_cst);
    std::fill(mix.begin(), mix.end(), 0.0f);
    int ended = -1;
    sounded_ = false;
    AddFades(mix, frames);
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        Voice* voice = slots_[i].load(std::memory_order_seq_cst);
        if (voice != nullptr && voice->TryLock()) {
            const bool waitsForItsStart =
                starting != nullptr && (*starting)[i].load(std::memory_order_acquire) && voice->Fresh();
            if (!waitsForItsStart) {
                voice->MixInto(mix.data(), frames);
                ended = std::max(ended, voice->TakeEndedAt());
            }
            sounded_ = sounded_ || waitsForItsStart || voice->Sounding();
            voice->Unlock();
        } else if (voice != nullptr) {
            sounded_ = true; // held by its owner this period: it may still sound
        }
    }
    passes_.fetch_add(1, std::memory_order_seq_cst);
    return ended;
}

void Mixer::AddFades(std::span<float> mix, int frames)
{
    if (frames <= 0) {
        return;
    }
    const std::size_t channels = std::min<std::size_t>(mix.size() / static_cast<std::size_t>(frames), MaxChannels);
    const std::size_t stride = mix.size() / static_cast<std::size_t>(frames);
    for (PendingFade& pending : fades_) {
        const int remaining = pending.remaining.load(std::memory_order_acquire);
        if (remaining <= 0) {
            continue;
        }
        const int count = std::min(frames, remaining);
        for (int k = 0; k < count; ++k) {
            const float factor = static_cast<float>(remaining - k - 1) / static_cast<float>(Voice::DeclickFrames);
            for (std::size_t c = 0; c < channels; ++c) {
                mix[static_cast<std::size_t>(k) * stride + c] += pending.levels[c] * factor;
            }
        }
        pending.remaining.store(remaining - count, std::memory_order_release);
    }
}

bool Mixer::AnyVoiceWaitsToPlay(int holding)
{
    passes_.fetch_add(1, std::memory_order_seq_cst);
    bool waits = false;
    for (std::size_t i = 0; i < slots_.size() && !waits; ++i) {
        Voice* voice = slots_[i].load(std::memory_order_seq_cst);
        waits = voice != nullptr && voice->WaitsToPlay();
        if (waits && holding > 0 && voice->QueuedBuffers() < ResumeBuffers && voice->TryLock()) {
            // A voice its owner holds this moment is taken to hold enough.
            waits = voice->HeldFrames(holding) >= holding;
            voice->Unlock();
        }
    }
    passes_.fetch_add(1, std::memory_order_seq_cst);
    return waits;
}

void Mixer::NoteCardStopped(std::int64_t nowNs, int dropped)
{
    ForEachVoiceInAPass([&](Voice& voice) { voice.NoteCardStopped(nowNs, dropped); });
}

void Mixer::NoteCardStarted(std::int64_t nowNs)
{
    ForEachVoiceInAPass([&](Voice& voice) { voice.NoteCardStarted(nowNs); });
}

int Mixer::FramesHeldByStarting(int limit, const std::array<std::atomic<bool>, MaxVoices>& starting)
{
    passes_.fetch_add(1, std::memory_order_seq_cst);
    int held = limit;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (!starting[i].load(std::memory_order_acquire)) {
            continue;
        }
        Voice* voice = slots_[i].load(std::memory_order_seq_cst);
        if (voice == nullptr || !voice->TryLock()) {
            continue;
        }
        if (voice->Fresh()) {
            held = std::min(held, voice->HeldFrames(limit));
        }
        voice->Unlock();
    }
    passes_.fetch_add(1, std::memory_order_seq_cst);
    return held;
}

int Mixer::MixStarting(float* mix, int frames, int period, int channels,
                       std::array<std::atomic<bool>, MaxVoices>& starting)
{
    passes_.fetch_add(1, std::memory_order_seq_cst);
    int ended = -1;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (!starting[i].exchange(false, std::memory_order_acq_rel)) {
            continue;
        }
        Voice* voice = slots_[i].load(std::memory_order_seq_cst);
        if (voice == nullptr || !voice->TryLock()) {
            continue;
        }
        if (voice->Fresh()) {
            for (int done = 0; done < frames; done += period) {
                voice->MixInto(mix + static_cast<std::size_t>(done) * static_cast<std::size_t>(channels),
                               std::min(period, frames - done));
                const int at = voice->TakeEndedAt();
                ended = at >= 0 ? std::max(ended, done + at) : ended;
            }
        }
        voice->Unlock();
    }
    passes_.fetch_add(1, std::memory_order_seq_cst);
    return ended;
}

} // namespace platform::audio
