#include "platform/audio/LoopingBuffer.h"

#include "platform/audio/OutputDevice.h"

#include <algorithm>
#include <cmath>

namespace platform::audio {

std::unique_ptr<LoopingBuffer> LoopingBuffer::Create(const std::shared_ptr<OutputDevice>& device,
                                                     const StreamFormat& format, std::size_t bytes, AudioError* error)
{
    if (!device) {
        if (error != nullptr) {
            *error = AudioError::BadDevice;
        }
        return nullptr;
    }
    std::unique_ptr<Voice> voice = device->OpenVoice(format, error);
    if (!voice) {
        return nullptr;
    }
    return std::make_unique<LoopingBuffer>(Key{}, std::move(voice), bytes);
}

LoopingBuffer::LoopingBuffer(Key, std::unique_ptr<Voice> voice, std::size_t bytes) : voice_(std::move(voice))
{
    const auto block = static_cast<std::size_t>(voice_->Format().BlockAlign());
    frames_ = std::max<std::size_t>(1, bytes / block);
    ring_.assign(frames_ * block, voice_->Format().bits == 8 ? std::uint8_t{128} : std::uint8_t{0});
}

LoopingBuffer::Region LoopingBuffer::Lock(std::size_t offset, std::size_t bytes)
{
    const std::size_t size = ring_.size();
    offset %= size;
    bytes = std::min(bytes, size);
    const std::size_t first = std::min(bytes, size - offset);
    const std::span<std::uint8_t> ring(ring_);
    return Region{ring.subspan(offset, first), ring.subspan(0, bytes - first)};
}

std::size_t LoopingBuffer::Write(std::size_t offset, std::span<const std::uint8_t> data)
{
    const Region region = Lock(offset, data.size());
    std::copy_n(data.begin(), region.first.size(), region.first.begin());
    std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(region.first.size()), region.second.size(),
                region.second.begin());
    return region.first.size() + region.second.size();
}

void LoopingBuffer::Fill(std::uint8_t value)
{
    std::fill(ring_.begin(), ring_.end(), value);
}

void LoopingBuffer::Queue(std::size_t startFrame)
{
    const auto block = static_cast<std::size_t>(Format().BlockAlign());
    startFrame_ = startFrame % frames_;
    whole_.data = ring_;
    whole_.SetLooping(looping_);
    if (startFrame_ > 0) {
        head_.data = std::span<const std::uint8_t>(ring_).subspan(startFrame_ * block);
        head_.SetLooping(false);
        voice_->Write(head_);
        last_ = &head_;
        if (looping_) {
            voice_->Write(whole_);
            last_ = &whole_;
        }
    } else {
        voice_->Write(whole_);
        last_ = &whole_;
    }
    playing_ = true;
}

void LoopingBuffer::Play(bool looping)
{
    if (Playing()) {
        if (looping == looping_) {
            return;
        }
        looping_ = looping;
        if (whole_.Queued() && !head_.Queued()) {
            // The ring itself is under way: it only has to know whether to go round again.
            whole_.SetLooping(looping);
        } else if (looping && !whole_.Queued()) {
            // Playing once from the cursor: the whole ring follows, looping.
            whole_.data = ring_;
            whole_.SetLooping(true);
            voice_->Write(whole_);
            last_ = &whole_;
        } else {
            // Looping from the cursor, the ring still waiting behind: once
            // means only up to the end of the ring, so go on from here.
            const std::size_t cursor = CursorFrame();
            voice_->Reset();
            Queue(cursor);
        }
        return;
    }
    voice_->Reset();
    looping_ = looping;
    Queue(cursorFrame_);
}

void LoopingBuffer::Stop()
{
    if (!Playing()) {
        return;
    }
    cursorFrame_ = CursorFrame();
    voice_->Reset();
    playing_ = false;
}

bool LoopingBuffer::Playing()
{
    if (!playing_) {
        return false;
    }
    if (!looping_) {
        voice_->Sync();
        if (last_ != nullptr && last_->Done()) {
            // Played once to the end of the ring.
            playing_ = false;
            cursorFrame_ = 0;
            voice_->Reset();
            return false;
        }
    }
    return true;
}

std::size_t LoopingBuffer::CursorFrame()
{
    if (!Playing()) {
        return cursorFrame_;
    }
    return static_cast<std::size_t>((startFrame_ + voice_->Position()) % frames_);
}

std::size_t LoopingBuffer::PlayCursor()
{
    return CursorFrame() * static_cast<std::size_t>(Format().BlockAlign());
}

void LoopingBuffer::SetCurrentPosition(std::size_t offset)
{
    const std::size_t frame = (offset / static_cast<std::size_t>(Format().BlockAlign())) % frames_;
    if (Playing()) {
        voice_->Reset();
        Queue(frame);
    } else {
        cursorFrame_ = frame;
    }
}

void LoopingBuffer::LimitPlay(std::uint64_t frames, bool more)
{
    voice_->SetMoreToCome(more);
    voice_->SetPlayLimit(frames);
}

std::int64_t LoopingBuffer::ShortMs() const
{
    const auto rate = static_cast<std::uint64_t>(std::max(1, voice_->Device().Rate()));
    return std::max<std::int64_t>(0, voice_->SilenceHeardFrames()) * 1000 / static_cast<std::int64_t>(rate);
}

float LoopingBuffer::GainOf(int hundredthsDb)
{
    if (hundredthsDb <= VolumeMin) {
        return 0.0f;
    }
    return static_cast<float>(std::pow(10.0, std::min(hundredthsDb, VolumeMax) / 2000.0));
}

void LoopingBuffer::ApplyGains()
{
    const float level = GainOf(volume_);
    const float left = pan_ > 0 ? GainOf(-pan_) : 1.0f;
    const float right = pan_ < 0 ? GainOf(pan_) : 1.0f;
    voice_->SetVolume(level * left, level * right);
}

void LoopingBuffer::SetVolume(int hundredthsDb)
{
    volume_ = std::clamp(hundredthsDb, VolumeMin, VolumeMax);
    ApplyGains();
}

void LoopingBuffer::SetPan(int pan)
{
    pan_ = std::clamp(pan, PanLeft, PanRight);
    ApplyGains();
}

void LoopingBuffer::SetFrequency(int hz)
{
    voice_->SetRate(hz <= 0 ? Format().rate : hz);
}

} // namespace platform::audio
