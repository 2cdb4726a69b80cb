#include "TuioDecoder.h"

#include "OscValidation.h"

#include <oscpack/osc/OscException.h>
#include <oscpack/osc/OscReceivedElements.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// A message whose arguments do not have the types TUIO prescribes.
struct BadArguments {};

float number(const osc::ReceivedMessageArgument& a)
{
    if (a.IsFloat()) return a.AsFloat();
    if (a.IsDouble()) return static_cast<float>(a.AsDouble());
    if (a.IsInt32()) return static_cast<float>(a.AsInt32());
    throw BadArguments{};
}

int32_t integer(const osc::ReceivedMessageArgument& a)
{
    if (a.IsInt32()) return a.AsInt32();
    if (a.IsInt64()) return static_cast<int32_t>(a.AsInt64());
    throw BadArguments{};
}

std::vector<osc::ReceivedMessageArgument> arguments(const osc::ReceivedMessage& m)
{
    std::vector<osc::ReceivedMessageArgument> args;
    for (auto it = m.ArgumentsBegin(); it != m.ArgumentsEnd(); ++it) args.push_back(*it);
    return args;
}

bool finite(float v) { return std::isfinite(v); }

} // namespace

TuioDecoder::TuioDecoder(TouchEventHandler* handler, int surfaceWidth, int surfaceHeight)
    : handler_(handler), width_(std::max(1, surfaceWidth)), height_(std::max(1, surfaceHeight))
{
}

void TuioDecoder::setSurfaceSize(int width, int height)
{
    width_ = std::max(1, width);
    height_ = std::max(1, height);
}

void TuioDecoder::processPacket(const char* data, std::size_t size, const std::string& sender,
                                int64_t nowMs)
{
    if (!isWellFormedOscPacket(data, size)) {
        ++malformed_;
        return;
    }
    std::string source = sender;
    try {
        osc::ReceivedPacket packet(data, static_cast<osc::osc_bundle_element_size_t>(size));
        if (packet.IsBundle())
            handleBundle(osc::ReceivedBundle(packet), source, sender, nowMs, 0);
        else
            handleMessage(osc::ReceivedMessage(packet), source, sender, nowMs);
    } catch (const osc::Exception&) {
        ++malformed_;
    } catch (const BadArguments&) {
        ++malformed_;
    }
}

void TuioDecoder::handleBundle(const osc::ReceivedBundle& bundle, std::string& source,
                               const std::string& sender, int64_t nowMs, int depth)
{
    if (depth > 8) throw osc::MalformedBundleException("bundles nested too deeply");
    for (auto it = bundle.ElementsBegin(); it != bundle.ElementsEnd(); ++it) {
        if (it->IsBundle())
            handleBundle(osc::ReceivedBundle(*it), source, sender, nowMs, depth + 1);
        else
            handleMessage(osc::ReceivedMessage(*it), source, sender, nowMs);
    }
}

void TuioDecoder::handleMessage(const osc::ReceivedMessage& message, std::string& source,
                                const std::string& sender, int64_t nowMs)
{
    const char* address = message.AddressPattern();
    const bool cursor = std::strcmp(address, "/tuio/2Dcur") == 0;
    const bool blob = std::strcmp(address, "/tuio/2Dblb") == 0;
    if (!cursor && !blob) return; // other profiles are not ours

    auto args = arguments(message);
    if (args.empty() || !args[0].IsString()) throw BadArguments{};
    const std::string command = args[0].AsString();
    if (command == "source") {
        if (args.size() < 2 || !args[1].IsString()) throw BadArguments{};
        source = std::string(args[1].AsString()) + "|" + sender;
    }
    Source& s = sources_[source];
    s.lastSeen = nowMs;
    if (cursor)
        handleCursor(message, s, source);
    else
        handleBlob(message, s, source);
}

void TuioDecoder::handleCursor(const osc::ReceivedMessage& message, Source& s, std::string&)
{
    auto args = arguments(message);
    const std::string command = args[0].AsString();
    if (command == "alive") {
        s.aliveSeen = true;
        s.alive.clear();
        for (std::size_t i = 1; i < args.size(); ++i) s.alive.insert(integer(args[i]));
    } else if (command == "set") {
        // set s x y X Y m [w h]
        if (args.size() < 4) throw BadArguments{};
        Pending p;
        const int32_t id = integer(args[1]);
        p.x = number(args[2]);
        p.y = number(args[3]);
        if (args.size() >= 9) {
            p.w = number(args[7]);
            p.h = number(args[8]);
            p.hasSize = finite(p.w) && finite(p.h) && p.w > 0 && p.h > 0;
        }
        if (!finite(p.x) || !finite(p.y)) throw BadArguments{};
        s.sets[id] = p;
    } else if (command == "fseq") {
        if (args.size() < 2) throw BadArguments{};
        const int32_t fseq = integer(args[1]);
        if (acceptFrame(s.hasFrame, s.lastFseq, fseq)) {
            commitCursors(s);
        } else {
            ++droppedFrames_;
            s.aliveSeen = false;
            s.alive.clear();
            s.sets.clear();
        }
    }
}

void TuioDecoder::handleBlob(const osc::ReceivedMessage& message, Source& s, std::string&)
{
    auto args = arguments(message);
    const std::string command = args[0].AsString();
    if (command == "alive") {
        s.blobAliveSeen = true;
        s.blobAlive.clear();
        for (std::size_t i = 1; i < args.size(); ++i) s.blobAlive.insert(integer(args[i]));
    } else if (command == "set") {
        // set s x y a w h f X Y A m r
        if (args.size() < 7) throw BadArguments{};
        Pending p;
        const int32_t id = integer(args[1]);
        p.x = number(args[2]);
        p.y = number(args[3]);
        p.w = number(args[5]);
        p.h = number(args[6]);
        p.hasSize = finite(p.w) && finite(p.h) && p.w > 0 && p.h > 0;
        s.blobSets[id] = p;
    } else if (command == "fseq") {
        if (args.size() < 2) throw BadArguments{};
        const int32_t fseq = integer(args[1]);
        if (acceptFrame(s.blobHasFrame, s.blobLastFseq, fseq)) {
            commitBlobs(s);
        } else {
            ++droppedFrames_;
            s.blobAliveSeen = false;
            s.blobAlive.clear();
            s.blobSets.clear();
        }
    }
}

bool TuioDecoder::acceptFrame(bool& hasFrame, int32_t& lastFseq, int32_t fseq)
{
    if (fseq == -1 || fseq == 0) return true;
    // A frame far behind the last one means the sender restarted its count.
    if (hasFrame && fseq <= lastFseq && lastFseq - static_cast<int64_t>(fseq) < 100) return false;
    hasFrame = true;
    lastFseq = fseq;
    return true;
}

void TuioDecoder::commitBlobs(Source& s)
{
    for (const auto& entry : s.blobSets)
        if (entry.second.hasSize) s.blobs[entry.first] = entry.second;
    if (s.blobAliveSeen) {
        for (auto it = s.blobs.begin(); it != s.blobs.end();)
            it = s.blobAlive.count(it->first) ? std::next(it) : s.blobs.erase(it);
    }
    s.blobAliveSeen = false;
    s.blobAlive.clear();
    s.blobSets.clear();
}

void TuioDecoder::commitCursors(Source& s)
{
    // Contacts gone from alive are released first, so their pointers are free for new ones.
    if (s.aliveSeen) {
        for (auto it = s.contacts.begin(); it != s.contacts.end();) {
            if (s.alive.count(it->first)) {
                ++it;
            } else {
                release(it->second);
                it = s.contacts.erase(it);
            }
        }
    }
    for (const auto& entry : s.sets) {
        const int32_t id = entry.first;
        if (s.aliveSeen && !s.alive.count(id)) continue;
        Pending p = entry.second;
        if (!p.hasSize) {
            auto blob = s.blobs.find(id);
            if (blob != s.blobs.end()) {
                p.w = blob->second.w;
                p.h = blob->second.h;
                p.hasSize = true;
            }
        }
        auto found = s.contacts.find(id);
        const bool isNew = found == s.contacts.end();
        Contact& c = isNew ? s.contacts[id] : found->second;
        if (isNew) c.pointer = allocatePointer();
        c.x = toPixelX(p.x);
        c.y = toPixelY(p.y);
        if (c.pointer < 0) continue;
        const int pointerId = c.pointer << 8;
        int w = 0, h = 0;
        if (p.hasSize) {
            sizeInPixels(p, w, h);
            if (isNew || w != c.w || h != c.h) handler_->OnDViTRawWidthHeight(w, h, pointerId);
            c.w = w;
            c.h = h;
        }
        if (isNew)
            handler_->OnXYDown(c.x, c.y, 0, pointerId);
        else
            handler_->OnXYMove(c.x, c.y, 0, pointerId);
    }
    s.aliveSeen = false;
    s.alive.clear();
    s.sets.clear();
}

void TuioDecoder::release(Contact& c)
{
    if (c.pointer < 0) return;
    handler_->OnXYUp(c.x, c.y, 0, c.pointer << 8);
    pointerUsed_[c.pointer] = false;
    c.pointer = -1;
}

int TuioDecoder::allocatePointer()
{
    for (int i = 0; i < kPointers; ++i) {
        if (!pointerUsed_[i]) {
            pointerUsed_[i] = true;
            return i;
        }
    }
    return -1;
}

void TuioDecoder::releaseSilentSources(int64_t nowMs)
{
    for (auto it = sources_.begin(); it != sources_.end();) {
        if (nowMs - it->second.lastSeen > kSilenceMs) {
            for (auto& entry : it->second.contacts) release(entry.second);
            it = sources_.erase(it);
        } else {
            ++it;
        }
    }
}

void TuioDecoder::releaseAll()
{
    for (auto& source : sources_)
        for (auto& entry : source.second.contacts) release(entry.second);
    sources_.clear();
}

int TuioDecoder::activePointers() const
{
    return static_cast<int>(std::count(std::begin(pointerUsed_), std::end(pointerUsed_), true));
}

int TuioDecoder::toPixelX(float x) const
{
    const double v = std::clamp(static_cast<double>(x), 0.0, 1.0) * width_;
    return std::min(static_cast<int>(v), width_ - 1);
}

int TuioDecoder::toPixelY(float y) const
{
    const double v = std::clamp(static_cast<double>(y), 0.0, 1.0) * height_;
    return std::min(static_cast<int>(v), height_ - 1);
}

void TuioDecoder::sizeInPixels(const Pending& p, int& w, int& h) const
{
    w = static_cast<int>(std::lround(std::clamp(static_cast<double>(p.w), 0.0, 1.0) * width_));
    h = static_cast<int>(std::lround(std::clamp(static_cast<double>(p.h), 0.0, 1.0) * height_));
}
