#pragma once
// Decodes TUIO 1.1 packets (/tuio/2Dcur and /tuio/2Dblb, in or out of bundles) into the touch
// callbacks of a TouchEventHandler.
//
// Per source (named by its "source" message, else by the sender's address) the "alive" and "set"
// messages of a frame are buffered and committed at "fseq": session ids gone from alive are
// released, new ids pressed, the others moved. Frames older than the last one applied are
// dropped (fseq -1 and 0 are always applied). A source silent for kSilenceMs has its contacts
// released. A blob that shares a cursor's session id gives that cursor's contact size.
//
// Like the original board, only two contacts are tracked at a time: they get pointer indices 0
// and 1 (pointerId 0 and 256); further contacts are ignored until an index is free.
//
// Positions arrive normalised (0 ... 1, origin top left, y down) and leave in window pixels of
// the surface size given. Malformed packets are dropped and counted.

#include "TouchEventHandler.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace osc {
class ReceivedMessage;
class ReceivedBundle;
}

class TuioDecoder {
public:
    static constexpr int64_t kSilenceMs = 2000;
    static constexpr int kPointers = 2;

    TuioDecoder(TouchEventHandler* handler, int surfaceWidth, int surfaceHeight);

    void setSurfaceSize(int width, int height);
    // One UDP datagram from sender (any stable text naming the sender), received at nowMs.
    void processPacket(const char* data, std::size_t size, const std::string& sender,
                       int64_t nowMs);
    // Releases the contacts of every source not heard from for more than kSilenceMs.
    void releaseSilentSources(int64_t nowMs);
    // Releases every contact (e.g. when the receiver stops).
    void releaseAll();

    unsigned long malformedPackets() const { return malformed_; }
    unsigned long droppedFrames() const { return droppedFrames_; }
    // Number of contacts currently holding a pointer index.
    int activePointers() const;

private:
    struct Pending {
        float x = 0, y = 0;
        float w = 0, h = 0;
        bool hasSize = false;
    };
    struct Contact {
        int pointer = -1; // -1: ignored, beyond the two tracked pointers
        int x = 0, y = 0;
        int w = 0, h = 0;
    };
    struct Source {
        int64_t lastSeen = 0;
        bool hasFrame = false;
        int32_t lastFseq = 0;
        bool aliveSeen = false;
        std::set<int32_t> alive;
        std::map<int32_t, Pending> sets;
        std::map<int32_t, Contact> contacts;
        // Blob extents by session id, normalised.
        std::map<int32_t, Pending> blobs;
        std::set<int32_t> blobAlive;
        bool blobAliveSeen = false;
        std::map<int32_t, Pending> blobSets;
        int32_t blobLastFseq = 0;
        bool blobHasFrame = false;
    };

    void handleBundle(const osc::ReceivedBundle& bundle, std::string& source,
                      const std::string& sender, int64_t nowMs, int depth);
    void handleMessage(const osc::ReceivedMessage& message, std::string& source,
                       const std::string& sender, int64_t nowMs);
    void handleCursor(const osc::ReceivedMessage& message, Source& s, std::string& source);
    void handleBlob(const osc::ReceivedMessage& message, Source& s, std::string& source);
    static bool acceptFrame(bool& hasFrame, int32_t& lastFseq, int32_t fseq);
    void commitCursors(Source& s);
    void commitBlobs(Source& s);
    void release(Contact& c);
    int allocatePointer();
    int toPixelX(float x) const;
    int toPixelY(float y) const;
    void sizeInPixels(const Pending& p, int& w, int& h) const;

    TouchEventHandler* handler_;
    int width_;
    int height_;
    std::map<std::string, Source> sources_;
    bool pointerUsed_[kPointers] = {false, false};
    unsigned long malformed_ = 0;
    unsigned long droppedFrames_ = 0;
};
