#include "WiiInput.h"

#include "OscValidation.h"

#include <oscpack/osc/OscException.h>
#include <oscpack/osc/OscReceivedElements.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iostream>

namespace {

constexpr const char* kWiiData = "/glovepie/wiidata";
constexpr const char* kCreateObjects = "/glovepie/wiiaction/createobjects";
constexpr const char* kEraseObjects = "/glovepie/wiiaction/eraseobjects";

using Button = WiiCommunicationData::WIIMOTE_BUTTON;

// Arguments 11 to 21.
constexpr Button kButtons[11] = {
    WiiCommunicationData::UP,    WiiCommunicationData::DOWN,  WiiCommunicationData::RIGHT,
    WiiCommunicationData::LEFT,  WiiCommunicationData::A,     WiiCommunicationData::B,
    WiiCommunicationData::PLUS,  WiiCommunicationData::MINUS, WiiCommunicationData::HOME,
    WiiCommunicationData::ONE,   WiiCommunicationData::TWO};

bool WiiCommunicationData::*const kButtonFields[11] = {
    &WiiCommunicationData::up,   &WiiCommunicationData::down,  &WiiCommunicationData::right,
    &WiiCommunicationData::left, &WiiCommunicationData::a,     &WiiCommunicationData::b,
    &WiiCommunicationData::plus, &WiiCommunicationData::minus, &WiiCommunicationData::home,
    &WiiCommunicationData::one,  &WiiCommunicationData::two};

// Arguments 1 to 10 (9 and 10 swapped).
float WiiCommunicationData::*const kRemoteFloats[10] = {
    &WiiCommunicationData::posX,    &WiiCommunicationData::posY,    &WiiCommunicationData::gx,
    &WiiCommunicationData::gy,      &WiiCommunicationData::gz,      &WiiCommunicationData::motion6,
    &WiiCommunicationData::motion7, &WiiCommunicationData::motion8, &WiiCommunicationData::roll,
    &WiiCommunicationData::pitch};

// Arguments 25 to 34.
float NunchukCommunicationData::*const kNunchukFloats[10] = {
    &NunchukCommunicationData::joyX,    &NunchukCommunicationData::joyY,
    &NunchukCommunicationData::gx,      &NunchukCommunicationData::gy,
    &NunchukCommunicationData::gz,      &NunchukCommunicationData::motion6,
    &NunchukCommunicationData::motion7, &NunchukCommunicationData::motion8,
    &NunchukCommunicationData::pitch,   &NunchukCommunicationData::roll};

// The kind of argument k of a "/glovepie/wiidata" message.
bool expectsBool(int k) { return (k >= 11 && k <= 24) || k == 35; }

} // namespace

WiiInput::WiiInput(unsigned int remotes, unsigned int users, int width, int height,
                   float joystickSpeed)
    : current_(remotes), previous_(remotes), users_(users), width_(width), height_(height),
      joystickSpeed_(joystickSpeed)
{
}

bool WiiInput::readArguments(const char* data, std::size_t size, const char*& address,
                             std::vector<Argument>& args)
{
    if (!isWellFormedOscPacket(data, size)) return false;
    try {
        osc::ReceivedPacket packet(data, static_cast<osc::osc_bundle_element_size_t>(size));
        if (packet.IsBundle()) return false; // the bridge sends one message per datagram
        osc::ReceivedMessage message(packet);
        address = message.AddressPattern();
        for (auto it = message.ArgumentsBegin(); it != message.ArgumentsEnd(); ++it) {
            if (it->IsInt32()) args.push_back({Argument::Int, double(it->AsInt32Unchecked())});
            else if (it->IsFloat()) {
                const float v = it->AsFloatUnchecked();
                if (!std::isfinite(v)) return false;
                args.push_back({Argument::Float, double(v)});
            } else if (it->IsBool())
                args.push_back({Argument::Bool, it->AsBoolUnchecked() ? 1.0 : 0.0});
            else
                return false;
        }
    } catch (const osc::Exception&) {
        return false;
    }
    return true;
}

WiiInput::Message WiiInput::processDatagram(const char* data, std::size_t size,
                                            WiiHandlers* handlers)
{
    const char* address = nullptr;
    std::vector<Argument> args;
    if (!readArguments(data, size, address, args)) {
        ++malformed_;
        return Message::Malformed;
    }
    const bool wiiData = std::strcmp(address, kWiiData) == 0;
    const bool create = std::strcmp(address, kCreateObjects) == 0;
    const bool erase = std::strcmp(address, kEraseObjects) == 0;
    if (!wiiData && !create && !erase) return Message::Ignored;
    if (current_.empty()) return Message::Ignored;

    // Types first, so that a message is applied whole or not at all.
    if (args.empty() || args[0].kind == Argument::Float) {
        ++malformed_;
        return Message::Malformed;
    }
    for (std::size_t k = 1; k < args.size(); ++k) {
        const int n = static_cast<int>(k);
        bool ok = true;
        if (wiiData && n < kWiiDataArguments)
            ok = expectsBool(n) ? args[k].kind != Argument::Float : args[k].kind != Argument::Bool;
        else if (create && n == 1)
            ok = args[k].kind == Argument::Int;
        else if (erase && n == 1)
            ok = args[k].kind != Argument::Bool;
        if (!ok) {
            ++malformed_;
            return Message::Malformed;
        }
    }

    const double id = args[0].value;
    const bool known = id >= 0 && id < double(current_.size());
    if (wiiData) {
        evaluateWiimoteData(args, handlers);
        return Message::WiiData;
    }
    if (create) {
        int count = 5;
        if (known && args.size() > 1) count = static_cast<int>(args[1].value);
        if (handlers) handlers->wiiCreateObjects(count);
        return Message::CreateObjects;
    }
    float radius = 5.0f;
    if (known && args.size() > 1) radius = static_cast<float>(args[1].value);
    if (handlers) handlers->wiiEraseObjects(radius);
    return Message::EraseObjects;
}

bool WiiInput::edgeRule(float previousX, float previousY, float currentX, float currentY,
                        float px, float py, int width, int height, int& x, int& y)
{
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const bool xInside = previousX > 0 && previousX < w && currentX > 0 && currentX < w;
    const bool yAbove0 = previousY > 0 && currentY > 0;
    const bool yBelowH = previousY < h && currentY < h;
    if (xInside) {
        x = static_cast<int>(px);
        if (yAbove0 && yBelowH) y = static_cast<int>(py);
        else if (yAbove0) y = height;
        else if (yBelowH) y = 0;
        else return false;
        return true;
    }
    if (!(yAbove0 && yBelowH)) return false;
    y = static_cast<int>(py);
    if (previousX > 0 && currentX > 0) x = width;
    else if (previousX < w && currentX < w) x = 0;
    else return false;
    return true;
}

void WiiInput::evaluateWiimoteData(const std::vector<Argument>& args, WiiHandlers* handlers)
{
    wentDown_.clear();
    wentUp_.clear();
    const auto rawId = static_cast<long long>(args[0].value);
    const bool known = rawId >= 0 && rawId < static_cast<long long>(current_.size());
    const auto id = static_cast<std::size_t>(known ? rawId : 0);
    WiiCommunicationData* cur = known ? &current_[id] : nullptr;
    WiiCommunicationData* prev = known ? &previous_[id] : nullptr;
    if (known) {
        *prev = *cur;
        cur->wiiId = static_cast<std::int32_t>(rawId);
    }

    auto edge = [this](bool now, bool before, Button button) {
        if (now && !before) wentDown_.push_back(button);
        if (!now && before) wentUp_.push_back(button);
    };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const int k = static_cast<int>(i);
        const double v = args[i].value;
        if (k > 35) {
            std::cout << "ArgNum: " << k << std::endl;
            std::cout << "More args: implement in wii class and when interpreting UPD package."
                      << std::endl;
            continue;
        }
        if (k == 35) {
            previousModeFlag_ = modeFlag_;
            modeFlag_ = v != 0.0;
            continue;
        }
        if (!known) continue;
        if (k == 1) cur->posX = static_cast<float>(std::clamp(v, 0.0, double(width_)));
        else if (k == 2) cur->posY = static_cast<float>(std::clamp(v, 0.0, double(height_)));
        else if (k <= 10) cur->*kRemoteFloats[k - 1] = static_cast<float>(v);
        else if (k <= 21) {
            cur->*kButtonFields[k - 11] = v != 0.0;
            edge(cur->*kButtonFields[k - 11], prev->*kButtonFields[k - 11], kButtons[k - 11]);
        } else if (k == 22) cur->hasNunchuk(v != 0.0);
        else if (k == 23) {
            cur->nunchuk().c = v != 0.0;
            edge(cur->nunchuk().c, prev->nunchuk().c, WiiCommunicationData::C);
        } else if (k == 24) {
            if (!cur->hasNunchuk()) continue;
            cur->nunchuk().z = v != 0.0;
            if (cur->nunchuk().z) {
                // Held z stays in the list: the canvas reads it as a modifier.
                wentDown_.push_back(WiiCommunicationData::Z);
                zJustReleased_ = false;
            } else if (prev->nunchuk().z) {
                wentUp_.push_back(WiiCommunicationData::Z);
                zJustReleased_ = true;
            }
        } else
            cur->nunchuk().*kNunchukFloats[k - 25] = static_cast<float>(v);
    }
    if (!known || !handlers) return;

    if (!modeFlag_) handlers->wiiModeFlag(false);
    else if (!previousModeFlag_) handlers->wiiModeFlag(true);

    const unsigned int device = users_ + static_cast<unsigned int>(id);
    auto changed = [&](bool down) {
        const bool now[9] = {cur->a, cur->b, cur->minus, cur->plus, cur->one,
                             cur->two, cur->home, cur->nunchuk().c, cur->nunchuk().z};
        const bool before[9] = {prev->a, prev->b, prev->minus, prev->plus, prev->one,
                                prev->two, prev->home, prev->nunchuk().c, prev->nunchuk().z};
        for (int i = 0; i < 9; ++i)
            if (down ? (now[i] && !before[i]) : (!now[i] && before[i])) return true;
        return false;
    };
    const float px = (prev->posX + cur->posX) / 2.0f;
    const float py = (prev->posY + cur->posY) / 2.0f;
    int x = 0;
    int y = 0;
    if (changed(true)) {
        if (edgeRule(prev->posX, prev->posY, cur->posX, cur->posY, px, py, width_, height_, x,
                     y)) {
            lastX_ = x;
            lastY_ = y;
            handlers->wiiPress(x, y, device, wentDown_, *cur);
        }
    } else if (changed(false)) {
        handlers->wiiRelease(static_cast<int>(px), static_cast<int>(py), device, wentUp_, *cur);
    } else if (modeFlag_ && !cur->a) {
        if (edgeRule(prev->posX, prev->posY, cur->posX, cur->posY, cur->posX, cur->posY, width_,
                     height_, x, y)) {
            lastX_ = x;
            lastY_ = y;
            handlers->wiiMove(x, y, device, wentDown_, *cur);
        }
    }

    if (cur->hasNunchuk()) {
        // A joystick reading far outside -1 ... 1 must not overflow the pixel step.
        auto pixels = [this](float v) {
            const double scaled = static_cast<double>(v) * joystickSpeed_;
            return static_cast<int>(std::clamp(scaled, -1.0e6, 1.0e6));
        };
        const int dx = pixels(cur->nunchuk().joyX);
        const int dy = pixels(cur->nunchuk().joyY);
        handlers->wiiPoint(dx, dy, device, wentDown_, *cur, zJustReleased_);
    }
}

WiiJoystickPointer::Border WiiJoystickPointer::step(int dx, int dy, int width, int height)
{
    if (!inDeadZone(dx, dy)) {
        x += static_cast<float>(dx);
        y += static_cast<float>(dy);
    }
    bool clamped = false;
    auto clampTo = [&clamped](float& v, float high) {
        if (v <= 0.0f) {
            v = 0.0f;
            clamped = true;
        } else if (v >= high) {
            v = high;
            clamped = true;
        }
    };
    clampTo(x, static_cast<float>(width));
    clampTo(y, static_cast<float>(height));
    const bool before = onBorder;
    onBorder = clamped;
    if (clamped && !before) return Border::Entered;
    if (!clamped && before) return Border::Left;
    return Border::Unchanged;
}
