#pragma once
// TUIO 1.1 packets built the way trackers send them.

#include "shell/TuioDecoder.h"

#include <oscpack/osc/OscOutboundPacketStream.h>

#include <cstdint>
#include <string>
#include <vector>

class TuioPacket {
public:
    TuioPacket() : stream_(buffer_, sizeof buffer_) {}
    TuioPacket& bundle()
    {
        stream_ << osc::BeginBundleImmediate;
        inBundle_ = true;
        return *this;
    }
    TuioPacket& source(const char* name)
    {
        stream_ << osc::BeginMessage("/tuio/2Dcur") << "source" << name << osc::EndMessage;
        return *this;
    }
    TuioPacket& alive(std::vector<int> ids, const char* profile = "/tuio/2Dcur")
    {
        stream_ << osc::BeginMessage(profile) << "alive";
        for (int id : ids) stream_ << static_cast<osc::int32>(id);
        stream_ << osc::EndMessage;
        return *this;
    }
    TuioPacket& set(int id, float x, float y)
    {
        stream_ << osc::BeginMessage("/tuio/2Dcur") << "set" << static_cast<osc::int32>(id) << x
                << y << 0.0f << 0.0f << 0.0f << osc::EndMessage;
        return *this;
    }
    TuioPacket& blob(int id, float x, float y, float w, float h)
    {
        stream_ << osc::BeginMessage("/tuio/2Dblb") << "set" << static_cast<osc::int32>(id) << x
                << y << 0.0f << w << h << w * h << 0.0f << 0.0f << 0.0f << 0.0f << 0.0f
                << osc::EndMessage;
        return *this;
    }
    TuioPacket& fseq(int frame, const char* profile = "/tuio/2Dcur")
    {
        stream_ << osc::BeginMessage(profile) << "fseq" << static_cast<osc::int32>(frame)
                << osc::EndMessage;
        return *this;
    }
    // The packet's bytes; an open bundle is closed.
    std::string bytes()
    {
        if (inBundle_) stream_ << osc::EndBundle;
        inBundle_ = false;
        return std::string(stream_.Data(), stream_.Size());
    }
    void sendTo(TuioDecoder& decoder, int64_t now = 0, const std::string& sender = "127.0.0.1:5000")
    {
        const std::string b = bytes();
        decoder.processPacket(b.data(), b.size(), sender, now);
    }

private:
    char buffer_[4096];
    osc::OutboundPacketStream stream_;
    bool inBundle_ = false;
};
