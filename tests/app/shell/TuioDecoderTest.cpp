// TUIO 1.1 cursor and blob frames turned into touch callbacks.
#include "shell/TuioDecoder.h"

#include <gtest/gtest.h>

#include "TouchRecorder.h"
#include "TuioPacket.h"

#include <string>
#include <vector>

namespace {

using Recorder = TouchRecorder;

struct CursorSet {
    int id;
    float x, y;
};

// One frame as a bundle: alive, sets, fseq.
void frame(TuioDecoder& d, int fseq, std::vector<int> alive, std::vector<CursorSet> sets,
           int64_t now = 0)
{
    TuioPacket p;
    p.bundle().alive(alive);
    for (const auto& s : sets) p.set(s.id, s.x, s.y);
    p.fseq(fseq).sendTo(d, now);
}

using Events = std::vector<std::string>;

} // namespace

TEST(TuioDecoder, FingerDownMoveUpInWindowPixelsClampedToTheEdgesAndOnlyTwoContactsTracked)
{
    Recorder r;
    TuioDecoder d(&r, 800, 600);
    frame(d, 1, {12}, {{12, 0.25f, 0.75f}});
    EXPECT_EQ(r.take(), (Events{"down 200 450 p0"}));
    frame(d, 2, {12}, {{12, 0.5f, 0.5f}});
    EXPECT_EQ(r.take(), (Events{"move 400 300 p0"}));
    frame(d, 3, {12}, {}); // alive without set: still down, nothing new
    EXPECT_TRUE(r.take().empty());
    frame(d, 4, {}, {});
    EXPECT_EQ(r.take(), (Events{"up 400 300 p0"}));
    EXPECT_EQ(d.activePointers(), 0);
    // Edges and coordinates beyond them stay inside the window.
    frame(d, 5, {1, 2}, {{1, 1.0f, 1.0f}, {2, -0.5f, 7.0f}});
    EXPECT_EQ(r.take(), (Events{"down 799 599 p0", "down 0 599 p1"}));

    // Only two contacts are tracked.
    TuioDecoder two(&r, 100, 100);
    frame(two, 1, {1, 2, 3}, {{1, 0.1f, 0.1f}, {2, 0.2f, 0.2f}, {3, 0.3f, 0.3f}});
    EXPECT_EQ(r.take(), (Events{"down 10 10 p0", "down 20 20 p1"}));
    frame(two, 2, {1, 2, 3}, {{3, 0.4f, 0.4f}});
    EXPECT_TRUE(r.take().empty()) << "the third contact is ignored";
    // When the first lifts, a new contact gets its pointer; the ignored one stays ignored.
    frame(two, 3, {2, 3, 4}, {{4, 0.5f, 0.5f}});
    EXPECT_EQ(r.take(), (Events{"up 10 10 p0", "down 50 50 p0"}));
}

TEST(TuioDecoder, PlainMessagesCommitAtFseqLateFramesAreDroppedButMinusOneIsApplied)
{
    Recorder r;
    TuioDecoder d(&r, 100, 100);
    // Plain messages, set before alive: nothing until the fseq.
    TuioPacket().set(1, 0.1f, 0.1f).sendTo(d);
    TuioPacket().alive({1}).sendTo(d);
    EXPECT_TRUE(r.take().empty());
    TuioPacket().fseq(10).sendTo(d);
    frame(d, 9, {1}, {{1, 0.9f, 0.9f}});
    frame(d, 10, {1}, {{1, 0.9f, 0.9f}});
    EXPECT_EQ(r.take(), (Events{"down 10 10 p0"}));
    EXPECT_EQ(d.droppedFrames(), 2u);
    frame(d, -1, {1}, {{1, 0.3f, 0.3f}});
    frame(d, 11, {1}, {{1, 0.4f, 0.4f}});
    EXPECT_EQ(r.take(), (Events{"move 30 30 p0", "move 40 40 p0"}));
    // A sender that restarts its count far below is taken as new.
    frame(d, 500, {1}, {{1, 0.5f, 0.5f}});
    frame(d, 1, {1}, {{1, 0.25f, 0.25f}});
    EXPECT_EQ(r.take(), (Events{"move 50 50 p0", "move 25 25 p0"}));
}

TEST(TuioDecoder, SourcesKeepTheirOwnSessionsAndASilentOneIsReleasedAfterTwoSeconds)
{
    Recorder r;
    TuioDecoder d(&r, 100, 100);
    TuioPacket().bundle().source("left@host").alive({1}).set(1, 0.1f, 0.1f).fseq(5).sendTo(d, 1000);
    TuioPacket().bundle().source("right@host").alive({1}).set(1, 0.75f, 0.75f).fseq(1).sendTo(
        d, 1000, "127.0.0.1:5001");
    EXPECT_EQ(r.take(), (Events{"down 10 10 p0", "down 75 75 p1"}));
    TuioPacket().bundle().source("right@host").alive({}).fseq(2).sendTo(d, 2000, "127.0.0.1:5001");
    EXPECT_EQ(r.take(), (Events{"up 75 75 p1"}));
    d.releaseSilentSources(3000);
    EXPECT_TRUE(r.take().empty());
    d.releaseSilentSources(3001);
    EXPECT_EQ(r.take(), (Events{"up 10 10 p0"}));
}

TEST(TuioDecoder, MalformedPacketsAreCountedAndIgnored)
{
    // A well-formed message with the wrong argument types.
    char buffer[256];
    osc::OutboundPacketStream badTypes(buffer, sizeof buffer);
    badTypes << osc::BeginMessage("/tuio/2Dcur") << "set" << "seven" << 0.5f << osc::EndMessage;
    // A blob argument claiming more bytes than the datagram holds once crashed the OSC parser.
    const char prefix[] = "/tuio/2Dcur\0,b\0\0";
    std::vector<char> hugeBlob(prefix, prefix + 16);
    const unsigned char hugeLength[4] = {0x7f, 0xff, 0xff, 0xf0};
    hugeBlob.insert(hugeBlob.end(), hugeLength, hugeLength + 4);
    hugeBlob.resize(hugeBlob.size() + 8, 'x');
    const char garbage[] = "this is not osc!";
    const struct {
        const char* name;
        const char* data;
        std::size_t size;
    } rows[] = {
        {"not OSC", garbage, 16},
        {"shorter than a word", garbage, 3},
        {"empty", nullptr, 0},
        {"wrong argument types", badTypes.Data(), badTypes.Size()},
        {"RegressionBlobLengthBeyondThePacketIsRejectedBeforeParsing", hugeBlob.data(), hugeBlob.size()},
        // Bundle elements must fit too.
        {"RegressionBlobLengthBeyondThePacketIsRejectedBeforeParsing (bundle element)",
         "#bundle\0\0\0\0\0\0\0\0\1\0\0\1\0", 20},
        // "T\0\0 " ends its string at the NUL but pads with a blank: a word-wise terminator search
        // then ran on into the next arguments and crashed the OSC parser.
        {"RegressionStringPaddingThatIsNotNulIsRejected", "/tuio/2Dcur\0,si\0T\0\0 \0\0\0\xa5", 24},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Recorder r;
        TuioDecoder d(&r, 100, 100);
        d.processPacket(row.data, row.size, "x", 0);
        EXPECT_EQ(d.malformedPackets(), 1u);
        EXPECT_TRUE(r.take().empty());
    }
}
