#include "core/BufferTemplate.h"

#include "OutputCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The grid as rows of '#' (non-zero) and '.', row 0 first, rows separated by '/'.
template <class T>
std::string picture(const BufferTemplate<T>& b)
{
    std::string s;
    for (unsigned int y = 0; y < b.getHeight(); ++y) {
        for (unsigned int x = 0; x < b.getWidth(); ++x)
            s += b.getValue(x, y) != T() ? '#' : '.';
        s += y + 1 < b.getHeight() ? "/" : "";
    }
    return s;
}

template <class T>
BufferTemplate<T> grid(unsigned int width, unsigned int height, T fill, unsigned int channels = 1)
{
    BufferTemplate<T> b(channels, 0);
    b.setSizeAndAllocateMemory(width, height);
    b.fillEntireBuffer(fill);
    return b;
}

template <class T>
std::vector<T> elements(const BufferTemplate<T>& b)
{
    return std::vector<T>(b.getBufferArray(), b.getBufferArray() + b.getAllocatedMemorySizeInBytes() / sizeof(T));
}

const char* const Empty = "......../......../......../......../......../........";

} // namespace

TEST(BufferTemplateTest, SamplesBilinearlyShiftsTheBlockAtTheFarEdgeAndBoolsSeeWeightedCells)
{
    FloatBuffer b = grid(10, 10, 0.0f);
    b.setValue(3, 4, 1.0f);
    FloatBuffer columns = grid(10, 10, 0.0f);
    for (unsigned int i = 0; i < 100; ++i)
        columns.getBufferArray()[i] = float(i % 10) + 1.0f; // column x holds x + 1
    const struct { const FloatBuffer* b; double x, y; float expected; } rows[] = {
        {&b, 3.5, 4.5, 1.0f}, {&b, 4.0, 4.0, 0.25f}, {&columns, 8.4, 4.5, 8.9f}, // columns 7 and 8
        {&columns, 8.5, 4.5, 8.0f}, {&columns, 1e12, 4.5, 8.5f}, // shifted block: column 9 is never read
        {&columns, -0.5, 4.5, 1.0f}, {&columns, -0.6, 4.5, 0.0f}, {&columns, 4.5, -0.6, 0.0f}};
    for (const auto& r : rows)
        EXPECT_NEAR(r.b->getValue(r.x, r.y), r.expected, 1e-5) << r.x << ", " << r.y;

    // An axis under three cells leaves the shifted block empty; three cells suffice.
    for (unsigned int size : {0u, 1u, 2u, 3u}) {
        EXPECT_FLOAT_EQ(grid(size, 5, 1.0f).getValue(1.0, 2.0), size == 3 ? 1.0f : 0.0f) << size;
        EXPECT_FLOAT_EQ(grid(5, size, 1.0f).getValue(2.0, 1.0), size == 3 ? 1.0f : 0.0f) << size;
    }

    // Booleans see only the cells that carry weight.
    BoolBuffer flag = grid(10, 10, false);
    flag.setValue(4, 4, true);
    const struct { double x, y; bool expected; } flags[] = {
        {3.5, 4.5, false}, {3.6, 4.5, true}, {5.4, 4.5, true}, {5.5, 4.5, false}, {4.5, 3.6, true}};
    for (const auto& r : flags)
        EXPECT_EQ(flag.getValue(r.x, r.y), r.expected) << r.x << ", " << r.y;
}

template <class T>
class IntegerBufferTest : public ::testing::Test {};
using IntegerTypes = ::testing::Types<char, unsigned char, int, unsigned int, long, unsigned long>;
TYPED_TEST_SUITE(IntegerBufferTest, IntegerTypes);

TYPED_TEST(IntegerBufferTest, TruncatesSampledTermsAndInterpolatedValues)
{
    using T = TypeParam;
    BufferTemplate<T> b = grid<T>(10, 10, 5, 2);
    T out[2];
    b.get2DValues(3.8, 4.5, out); // 0.7 × 5 and 0.3 × 5 truncate to 3 and 1
    EXPECT_EQ(out[0], T(4));
    EXPECT_EQ(out[1], T(4));
    b.fillEntireBuffer(127);
    EXPECT_EQ(b.getValue(4.0, 4.0), T(124)); // four times 31.75

    BufferTemplate<T> ramp = grid<T>(8, 1, 9);
    ramp.interpolateQuadWithValues(2, 0, 0, 6, 0, 3, 6, 1, 3, 2, 1, 0); // 0, 0.75, 1.5, 2.25
    EXPECT_EQ(elements(ramp), (std::vector<T>{9, 9, 0, 0, 1, 2, 9, 9}));
    // Left of the crossing the first column lies below the edge value 0 (−1.43): it saturates.
    BufferTemplate<T> steep = grid<T>(4, 4, 7);
    steep.interpolateQuadWithValues(0, 0, 0, 2, 0, 10, 2, 4, 10, 1, 4, 0);
    EXPECT_EQ(steep.getValue(0, 1), std::is_signed_v<T> ? T(-1) : T(0));
}

TEST(BufferTemplateTest, QuadScanConversionIsClippedToTheGrid)
{
    const int big = 2000000000;
    const struct { const char* name; int v[8]; const char* expected; } rows[] = {
        {"rectangle", {2, 2, 6, 2, 6, 5, 2, 5}, "......../......../..####../..####../..####../........"},
        {"reversed", {2, 5, 6, 5, 6, 2, 2, 2}, "......../......../..####../..####../..####../........"},
        {"triangle", {1, 0, 7, 0, 1, 6, 1, 6}, ".######./.#####../.####.../.###..../.##...../.#......"},
        {"one row", {1, 3, 7, 3, 5, 3, 2, 3}, Empty}, {"one column", {4, 0, 4, 5, 4, 5, 4, 0}, Empty},
        {"over top left", {-3, -2, 4, -2, 4, 3, -3, 3}, "####..../####..../####..../......../......../........"},
        {"over bottom right", {5, 4, 12, 4, 12, 9, 5, 9}, "......../......../......../......../.....###/.....###"},
        {"left of grid", {-9, 1, -2, 1, -2, 4, -9, 4}, Empty}, {"below grid", {1, 6, 5, 6, 5, 9, 1, 9}, Empty},
        {"covers grid", {-big, -big, big, -big, big, big, -big, big},
         "########/########/########/########/########/########"},
    };
    for (const auto& r : rows) {
        FloatBuffer b = grid(8, 6, 0.0f);
        const int* v = r.v;
        b.fillQuadWithValue(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], 1.0f);
        EXPECT_EQ(picture(b), r.expected) << r.name;
    }

    // A single value goes into every channel; n values into the first n.
    UnsignedCharBuffer rgb = grid<unsigned char>(2, 2, 0, 3);
    rgb.fillQuadWithValue(0, 0, 1, 0, 1, 1, 0, 1, 9);
    unsigned char two[2] = {1, 2};
    rgb.fillQuadWithNDValue(1, 1, 2, 1, 2, 2, 1, 2, 2, two);
    EXPECT_EQ(elements(rgb), (std::vector<unsigned char>{9, 9, 9, 0, 0, 0, 0, 0, 0, 1, 2, 0}));
}

TEST(BufferTemplateTest, InterpolatesRampsAcrossAndDownTheQuad)
{
    FloatBuffer across = grid(8, 1, -1.0f);
    across.interpolateQuadWithValues(2, 0, 0.0f, 6, 0, 4.0f, 6, 1, 4.0f, 2, 1, 0.0f);
    EXPECT_EQ(elements(across), (std::vector<float>{-1, -1, 0, 1, 2, 3, -1, -1}));
    // Clipped on the left, the ramp keeps its values: column c gets c + 2.
    FloatBuffer clipped = grid(8, 1, -1.0f);
    clipped.interpolateQuadWithValues(-2, 0, 0.0f, 6, 0, 8.0f, 6, 1, 8.0f, -2, 1, 0.0f);
    EXPECT_EQ(elements(clipped), (std::vector<float>{2, 3, 4, 5, 6, 7, -1, -1}));

    unsigned char a[2] = {0, 200}, b[2] = {100, 0}; // two channels, each on its own
    UnsignedCharBuffer channels = grid<unsigned char>(4, 1, 0, 2);
    channels.interpolateQuadWithNDValues(0, 0, a, 4, 0, b, 4, 1, b, 0, 1, a, 2);
    EXPECT_EQ(elements(channels), (std::vector<unsigned char>{0, 200, 25, 150, 50, 100, 75, 50}));
}

TEST(BufferTemplateTest, LinearLengthInterpolationBlendsDirectionAndLength)
{
    // Half way (column 2): direction (0.5, 1.5) of the blend, length 2 between 1 and 3; opposite
    // vectors cancel to zero, as do zero vectors.
    const struct { const char* name; float left[2], right[2], middle[2]; } rows[] = {
        {"turning and growing", {1, 0}, {0, 3}, {0.63245553f, 1.8973666f}},
        {"opposite: zero in the middle", {2, 0}, {-2, 0}, {0, 0}},
        {"zero vectors", {0, 0}, {0, 0}, {0, 0}},
    };
    for (auto r : rows) {
        FloatBuffer b = grid(8, 1, 0.0f, 2);
        b.interpolateQuadWithNDValuesWithLinearLength(0, 0, r.left, 4, 0, r.right, 4, 1, r.right, 0, 1, r.left, 2);
        float v[2];
        b.get2DValues(2u, 0u, v);
        EXPECT_NEAR(v[0], r.middle[0], 1e-5) << r.name;
        EXPECT_NEAR(v[1], r.middle[1], 1e-5) << r.name;
    }
}

TEST(BufferTemplateTest, ComplexPolygonFillRules)
{
    const std::vector<std::pair<int, int>> twice = {{1, 1}, {7, 1}, {7, 5}, {1, 5}, {1, 1}, {7, 1}, {7, 5}, {1, 5}};
    const std::vector<std::pair<int, int>> u = {{1, 1}, {7, 1}, {7, 5}, {5, 5}, {5, 3}, {3, 3}, {3, 5}, {1, 5}};
    const char* square = "......../.######./.######./.######./.######./........";
    const char* uShape = "......../.######./.######./.##..##./.##..##./........";
    const struct { const char* name; std::vector<std::pair<int, int>> vertices; int rule; const char* expected; } rows[] = {
        {"wound twice, even-odd", twice, EVEN_ODD_FILL, Empty},
        {"wound twice, non-zero", twice, NON_ZERO_FILL, square},
        {"any other rule is non-zero", twice, 5, square},
        {"concave, even-odd", u, EVEN_ODD_FILL, uShape},
        {"outside the grid", {{-5, -5}, {20, -5}, {-5, 3}}, EVEN_ODD_FILL,
         "####..../#......./......../......../......../........"},
        {"two vertices", {{1, 1}, {7, 5}}, EVEN_ODD_FILL, Empty},
    };
    for (const auto& r : rows) {
        CharBuffer b = grid<char>(8, 6, 0);
        b.fillComplexPolygonWithValue(r.vertices, r.rule, 'x');
        EXPECT_EQ(picture(b), r.expected) << r.name;
    }
}

TEST(BufferTemplateTest, BulkFillsStopAtTheLastElementLayoutAndOverflow)
{
    float v[3] = {1, 2, 3};
    FloatBuffer odd = grid(5, 1, 0.0f); // two pairs and a lone first value
    odd.fillEntireBufferWith2DValue(v);
    EXPECT_EQ(elements(odd), (std::vector<float>{1, 2, 1, 2, 1}));
    FloatBuffer triples = grid(2, 1, 0.0f, 2); // one triple and a lone first value
    triples.fillEntireBufferWith3DValue(v);
    EXPECT_EQ(elements(triples), (std::vector<float>{1, 2, 3, 1}));

    DoubleBuffer d(3, 1);
    d.setSizeAndAllocateMemory(4, 2);
    double three[3] = {1, 2, 3};
    d.set3DValues(2, 1, three);
    EXPECT_EQ(d.getBufferArray()[(1 * 4 + 2) * 3 + 2], 3.0); // cell (2, 1), channel 2
    EXPECT_THROW(d.setSizeAndAllocateMemory(100000, 100000), std::bad_alloc); // more than 32 bits of bytes
    EXPECT_EQ(d.getAllocatedMemorySizeInBytes(), 0ul);
}

// Every write changes the version and lies inside the written region; reads change neither.
TEST(BufferTemplateTest, VersionAndWrittenRegionFollowEveryKindOfWrite)
{
    FloatBuffer b(2, 0);
    b.setSizeAndAllocateMemory(8, 8);
    EXPECT_TRUE(b.writtenRegion().whole) << "a new grid counts as written everywhere";
    float v[2] = {1.0f, 2.0f};
    struct Rect { unsigned int x0, y0, x1, y1; };
    constexpr Rect none{0, 0, 0, 0};
    constexpr Rect all{0, 0, 0, 1};  // marks "whole"
    const struct { const char* name; std::function<void()> op; bool writes; Rect region; } rows[] = {
        {"const array", [&] { static_cast<const FloatBuffer&>(b).getBufferArray(); }, false, none},
        {"read", [&] { b.getValue(1u, 1u); }, false, none},
        {"set", [&] { b.setValue(1u, 1u, 3.0f); }, true, {1, 1, 2, 2}},
        {"set 2D, twice",
         [&] {
             b.set2DValues(1u, 1u, v);
             b.set2DValues(5u, 6u, v);
         },
         true, {1, 1, 6, 7}},
        {"rectangle", [&] { b.getBufferArrayForRect(2, 3, 5, 7); }, true, {2, 3, 5, 7}},
        {"rectangle partly outside", [&] { b.getBufferArrayForRect(6, 6, 20, 20); }, true, {6, 6, 8, 8}},
        {"rectangle outside", [&] { b.getBufferArrayForRect(9, 0, 12, 4); }, true, none},
        {"writable array", [&] { b.getBufferArray(); }, true, all},
        {"fill", [&] { b.fillEntireBufferWith2DValue(v); }, true, all},
        {"quad", [&] { b.fillQuadWithValue(1, 0, 4, 0, 4, 4, 1, 4, 1.0f); }, true, {1, 0, 4, 4}},
        {"ramp", [&] { b.interpolateQuadWithValues(0, 2, 1.0f, 4, 2, 1.0f, 4, 4, 1.0f, 0, 4, 1.0f); },
         true, {0, 2, 4, 4}},
        {"polygon off the grid", [&] { b.fillComplexPolygonWithValue({{-9, -9}, {-5, -9}, {-5, -5}}, 0, 1.0f); },
         true, none},
        {"clear", [&] { b.clearBuffer(); }, true, all},
        {"resize", [&] { b.setSizeAndAllocateMemory(4, 4); }, true, all}};
    for (const auto& r : rows) {
        b.restartWrittenRegion();
        const unsigned int before = b.getVersion();
        EXPECT_EQ(b.writtenRegion().start, before) << r.name;
        r.op();
        EXPECT_EQ(b.getVersion() != before, r.writes) << r.name;
        const FloatBuffer::WrittenRegion& w = b.writtenRegion();
        const bool whole = r.region.x0 == 0 && r.region.y0 == 0 && r.region.x1 == 0 && r.region.y1 == 1;
        EXPECT_EQ(w.whole, whole) << r.name;
        if (whole) continue;
        const bool empty = r.region.x0 >= r.region.x1;
        EXPECT_EQ(w.x0 >= w.x1 || w.y0 >= w.y1, empty) << r.name;
        if (!empty) {
            EXPECT_TRUE(w.x0 == r.region.x0 && w.y0 == r.region.y0 && w.x1 == r.region.x1 &&
                        w.y1 == r.region.y1)
                << r.name << ": " << w.x0 << "," << w.y0 << " - " << w.x1 << "," << w.y1;
        }
        EXPECT_EQ(w.start, before) << r.name;
    }
}

TEST(BufferTemplateTest, CopiesAreDeepMovesTransferOwnershipFlagsFollow)
{
    IntBuffer a = grid(3, 2, 4);
    EXPECT_TRUE(a.isInvalid() && !a.isValidating());
    a.startValidating();
    IntBuffer copy(a);
    copy.setValue(1, 1, 9);
    copy.finishValidating();
    EXPECT_TRUE(a.isValid() && a.isValidating() && copy.isValid() && !copy.isValidating());
    IntBuffer assigned = grid(10, 10, 0);
    assigned = copy;
    assigned = assigned;
    assigned.invalidate();
    EXPECT_TRUE(assigned.isInvalid() && copy.isValid());
    EXPECT_EQ(elements(assigned), (std::vector<int>{4, 4, 4, 4, 9, 4}));
    EXPECT_EQ(elements(a), std::vector<int>(6, 4));

    IntBuffer moved(std::move(a));
    EXPECT_TRUE(moved.getValue(2, 1) == 4 && a.getBufferArray() == nullptr);

    IBuffer* erased = new FloatBuffer(2, 5);
    EXPECT_NE(bufferCast<float>(erased), nullptr);
    EXPECT_EQ(bufferCast<int>(erased), nullptr);
    erased->destroy();
}

class BufferImageTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string read(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("buffer-image-" + std::to_string(getpid()));
};

TEST_F(BufferImageTest, NoChannelsThrowFourChannelsGiveTwoImagesBottomRowFirst)
{
    FloatBuffer none(0, 1);
    none.setSizeAndAllocateMemory(2, 2);
    OutputCapture out;
    try {
        none.createImage(path("none").c_str());
        FAIL() << "no exception";
    } catch (const std::logic_error& e) {
        EXPECT_STREQ(e.what(), "IBuffer.createImage error: There are no channels in this buffer!");
    }
    EXPECT_EQ(out.take(), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir));

    UnsignedCharBuffer b = grid<unsigned char>(2, 2, 0, 4);
    for (unsigned char i = 0; i < 16; ++i)
        b.getBufferArray()[i] = i + 1; // cell (x, y) channel c holds (2y + x) × 4 + c + 1
    OutputCapture dump;
    b.createImage(path("dump.ppm").c_str());
    EXPECT_EQ(dump.take(), "i-Buffer data written to file: " + path("dump0.ppm") + "\n" +
                          "i-Buffer data written to file: " + path("dump1.ppm") + "\n");
    EXPECT_EQ(read("dump0.ppm"), std::string("P6 2 2 255 \x09\x0a\x0b\x0d\x0e\x0f\x01\x02\x03\x05\x06\x07", 23));
    EXPECT_EQ(read("dump1.ppm"), std::string("P6 2 2 255 \x0c\0\0\x10\0\0\x04\0\0\x08\0\0", 23));
}
