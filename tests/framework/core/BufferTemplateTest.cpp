#include "core/BufferTemplate.h"

#include "OutputCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The grid as rows of '#' (non-zero) and '.', row 0 first.
template <class T>
std::vector<std::string> picture(const BufferTemplate<T>& b)
{
    std::vector<std::string> rows;
    for (unsigned int y = 0; y < b.getHeight(); ++y) {
        std::string row;
        for (unsigned int x = 0; x < b.getWidth(); ++x)
            row += b.getValue(x, y) != T() ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

template <class T>
BufferTemplate<T> grid(unsigned int width, unsigned int height, T fill, unsigned int channels = 1)
{
    BufferTemplate<T> b(channels, 0);
    b.setSizeAndAllocateMemory(width, height);
    b.fillEntireBuffer(fill);
    return b;
}

} // namespace

TEST(BufferTemplateTest, SamplesBilinearlyBetweenCellCentres)
{
    FloatBuffer b = grid(10, 10, 0.0f);
    b.setValue(3, 4, 1.0f);
    const struct { double x, y; float expected; } rows[] = {
        {3.5, 4.5, 1.0f}, {4.0, 4.5, 0.5f}, {3.5, 4.0, 0.5f}, {4.0, 4.0, 0.25f},
        {3.75, 4.5, 0.75f}, {2.5, 4.5, 0.0f}, {4.5, 4.5, 0.0f},
    };
    for (const auto& r : rows)
        EXPECT_FLOAT_EQ(b.getValue(r.x, r.y), r.expected) << r.x << ", " << r.y;
}

TEST(BufferTemplateTest, FarEdgeShiftsBlockAndOutsideGivesZero)
{
    FloatBuffer b = grid(10, 10, 0.0f);
    for (unsigned int y = 0; y < 10; ++y)
        for (unsigned int x = 0; x < 10; ++x)
            b.setValue(x, y, float(x) + 1.0f);
    const struct { double x, y; float expected; } rows[] = {
        {8.4, 4.5, 8.9f},   // ordinary block: columns 7 and 8
        {8.5, 4.5, 8.0f},   // shifted block (7, 8): column 9 is never read
        {9.0, 4.5, 8.5f}, {9.5, 4.5, 8.0f}, {1e12, 4.5, 8.5f},
        {-0.5, 4.5, 1.0f},  // block at column 0
        {-0.6, 4.5, 0.0f}, {4.5, -0.6, 0.0f}, {-1e12, -1e12, 0.0f},
    };
    for (const auto& r : rows)
        EXPECT_NEAR(b.getValue(r.x, r.y), r.expected, 1e-5) << r.x << ", " << r.y;

    // A dimension under three cells leaves the shifted block empty; three cells suffice.
    for (unsigned int size : {0u, 1u, 2u, 3u}) {
        FloatBuffer narrow = grid(size, 5, 1.0f);
        FloatBuffer flat = grid(5, size, 1.0f);
        const float expected = size == 3 ? 1.0f : 0.0f;
        EXPECT_FLOAT_EQ(narrow.getValue(1.0, 2.0), expected) << size;
        EXPECT_FLOAT_EQ(flat.getValue(2.0, 1.0), expected) << size;
    }
}

template <class T>
class IntegerSamplingTest : public ::testing::Test {};
using IntegerTypes = ::testing::Types<char, unsigned char, int, unsigned int, long, unsigned long>;
TYPED_TEST_SUITE(IntegerSamplingTest, IntegerTypes);

TYPED_TEST(IntegerSamplingTest, TruncatesEachWeightedTerm)
{
    BufferTemplate<TypeParam> b = grid<TypeParam>(10, 10, 5, 2);
    TypeParam out[2];
    b.get2DValues(3.8, 4.5, out); // 0.7 × 5 and 0.3 × 5 truncate to 3 and 1
    EXPECT_EQ(out[0], TypeParam(4));
    EXPECT_EQ(out[1], TypeParam(4));
    b.fillEntireBuffer(100);
    EXPECT_EQ(b.getValue(4.0, 4.0), TypeParam(100)); // four exact quarters
    b.fillEntireBuffer(127);
    EXPECT_EQ(b.getValue(4.0, 4.0), TypeParam(124)); // four times 31.75
}

TEST(BufferTemplateTest, BoolSamplingSeesOnlyCellsWithWeight)
{
    BoolBuffer b = grid(10, 10, false);
    b.setValue(4, 4, true);
    const struct { double x, y; bool expected; } rows[] = {
        {3.5, 4.5, false}, {3.6, 4.5, true}, {4.5, 4.5, true}, {5.4, 4.5, true},
        {5.5, 4.5, false}, {4.5, 3.5, false}, {4.5, 3.6, true}, {-1.0, 4.5, false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(b.getValue(r.x, r.y), r.expected) << r.x << ", " << r.y;
}

TEST(BufferTemplateTest, QuadScanConversionIsClippedToTheGrid)
{
    const int big = 2000000000;
    const struct { const char* name; int v[8]; std::vector<std::string> expected; } rows[] = {
        {"rectangle", {2, 2, 6, 2, 6, 5, 2, 5},
         {"........", "........", "..####..", "..####..", "..####..", "........"}},
        {"reversed", {2, 5, 6, 5, 6, 2, 2, 2},
         {"........", "........", "..####..", "..####..", "..####..", "........"}},
        {"triangle", {1, 0, 7, 0, 1, 6, 1, 6},
         {".######.", ".#####..", ".####...", ".###....", ".##.....", ".#......"}},
        {"one row", {1, 3, 7, 3, 5, 3, 2, 3},
         {"........", "........", "........", "........", "........", "........"}},
        {"one column", {4, 0, 4, 5, 4, 5, 4, 0},
         {"........", "........", "........", "........", "........", "........"}},
        {"over top left", {-3, -2, 4, -2, 4, 3, -3, 3},
         {"####....", "####....", "####....", "........", "........", "........"}},
        {"over bottom right", {5, 4, 12, 4, 12, 9, 5, 9},
         {"........", "........", "........", "........", ".....###", ".....###"}},
        {"left of grid", {-9, 1, -2, 1, -2, 4, -9, 4},
         {"........", "........", "........", "........", "........", "........"}},
        {"right of grid", {8, 0, 12, 0, 12, 6, 8, 6},
         {"........", "........", "........", "........", "........", "........"}},
        {"below grid", {1, 6, 5, 6, 5, 9, 1, 9},
         {"........", "........", "........", "........", "........", "........"}},
        {"covers grid", {-big, -big, big, -big, big, big, -big, big},
         {"########", "########", "########", "########", "########", "########"}},
    };
    for (const auto& r : rows) {
        FloatBuffer b = grid(8, 6, 0.0f);
        const int* v = r.v;
        b.fillQuadWithValue(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], 1.0f);
        EXPECT_EQ(picture(b), r.expected) << r.name;
    }
}

TEST(BufferTemplateTest, QuadFillsWriteChannelsAsAsked)
{
    UnsignedCharBuffer b = grid<unsigned char>(4, 3, 0, 3);
    b.fillQuadWithValue(0, 0, 2, 0, 2, 1, 0, 1, 9);
    unsigned char rgb[3] = {1, 2, 3};
    b.fillQuadWithNDValue(2, 1, 4, 1, 4, 3, 2, 3, 2, rgb);
    unsigned char cell[3];
    const struct { unsigned int x, y; unsigned char c0, c1, c2; } rows[] = {
        {0, 0, 9, 9, 9}, {1, 0, 9, 9, 9}, {2, 0, 0, 0, 0}, {3, 2, 1, 2, 0}, {2, 1, 1, 2, 0}, {1, 1, 0, 0, 0},
    };
    for (const auto& r : rows) {
        b.get3DValues(r.x, r.y, cell);
        EXPECT_EQ(cell[0], r.c0) << r.x << ", " << r.y;
        EXPECT_EQ(cell[1], r.c1) << r.x << ", " << r.y;
        EXPECT_EQ(cell[2], r.c2) << r.x << ", " << r.y;
    }
}

TEST(BufferTemplateTest, InterpolatesRampsAcrossAndDownTheQuad)
{
    FloatBuffer across = grid(8, 6, -1.0f);
    across.interpolateQuadWithValues(2, 2, 0.0f, 6, 2, 4.0f, 6, 5, 4.0f, 2, 5, 0.0f);
    FloatBuffer down = grid(8, 6, -1.0f);
    down.interpolateQuadWithValues(2, 2, 0.0f, 6, 2, 0.0f, 6, 5, 3.0f, 2, 5, 3.0f);
    for (unsigned int y = 0; y < 6; ++y)
        for (unsigned int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x <= 5 && y >= 2 && y <= 4;
            EXPECT_FLOAT_EQ(across.getValue(x, y), inside ? float(x) - 2.0f : -1.0f) << x << ", " << y;
            EXPECT_FLOAT_EQ(down.getValue(x, y), inside ? float(y) - 2.0f : -1.0f) << x << ", " << y;
        }

    // Clipped on the left, the ramp keeps its values: column c gets c + 2.
    FloatBuffer clipped = grid(8, 1, -1.0f);
    clipped.interpolateQuadWithValues(-2, 0, 0.0f, 6, 0, 8.0f, 6, 1, 8.0f, -2, 1, 0.0f);
    for (unsigned int x = 0; x < 6; ++x)
        EXPECT_FLOAT_EQ(clipped.getValue(x, 0u), float(x) + 2.0f) << x;
    EXPECT_FLOAT_EQ(clipped.getValue(6u, 0u), -1.0f);
}

TEST(BufferTemplateTest, IntegerInterpolationTruncatesAndSaturates)
{
    IntBuffer ramp = grid(8, 3, -1);
    ramp.interpolateQuadWithValues(2, 0, 0, 6, 0, 3, 6, 1, 3, 2, 1, 0);
    const int expected[] = {0, 0, 1, 2};
    for (unsigned int x = 0; x < 4; ++x)
        EXPECT_EQ(ramp.getValue(x + 2, 0u), expected[x]) << x;

    // The first column lies left of the crossing, below the edge value 0: it saturates, not wraps.
    UnsignedCharBuffer steep = grid<unsigned char>(4, 4, 7);
    steep.interpolateQuadWithValues(0, 0, 0, 2, 0, 10, 2, 4, 10, 1, 4, 0);
    EXPECT_EQ(steep.getValue(0u, 1u), 0);

    unsigned char a[2] = {0, 200}, b[2] = {100, 0};
    UnsignedCharBuffer two = grid<unsigned char>(4, 1, 0, 2);
    two.interpolateQuadWithNDValues(0, 0, a, 4, 0, b, 4, 1, b, 0, 1, a, 2);
    unsigned char cell[2];
    two.get2DValues(2u, 0u, cell);
    EXPECT_EQ(cell[0], 50);
    EXPECT_EQ(cell[1], 100);
}

TEST(BufferTemplateTest, LinearLengthInterpolationBlendsDirectionAndLength)
{
    const struct { const char* name; float left[2], right[2]; } rows[] = {
        {"turning, equal lengths", {2, 0}, {0, 2}},
        {"turning and growing", {1, 0}, {0, 3}},
        {"opposite", {2, 0}, {-2, 0}},
        {"zero vectors", {0, 0}, {0, 0}},
    };
    for (const auto& r : rows) {
        FloatBuffer b = grid(8, 2, 0.0f, 2);
        float* l = const_cast<float*>(r.left);
        float* rt = const_cast<float*>(r.right);
        b.interpolateQuadWithNDValuesWithLinearLength(0, 0, l, 4, 0, rt, 4, 2, rt, 0, 2, l, 2);
        const float leftLength = std::hypot(r.left[0], r.left[1]);
        const float rightLength = std::hypot(r.right[0], r.right[1]);
        for (unsigned int x = 0; x < 4; ++x) {
            float v[2];
            b.get2DValues(x, 1u, v);
            const float t = x / 4.0f;
            const float blendedX = r.left[0] + t * (r.right[0] - r.left[0]);
            const float blendedY = r.left[1] + t * (r.right[1] - r.left[1]);
            const float length = blendedX == 0 && blendedY == 0 ? 0.0f : leftLength + t * (rightLength - leftLength);
            EXPECT_NEAR(std::hypot(v[0], v[1]), length, 1e-5) << r.name << " column " << x;
            EXPECT_NEAR(v[0] * blendedY, v[1] * blendedX, 1e-5) << r.name << " column " << x; // same direction
        }
    }
}

TEST(BufferTemplateTest, ComplexPolygonFillRules)
{
    const std::vector<std::pair<int, int>> twice = {{1, 1}, {7, 1}, {7, 5}, {1, 5}, {1, 1}, {7, 1}, {7, 5}, {1, 5}};
    const std::vector<std::pair<int, int>> u = {{1, 1}, {7, 1}, {7, 5}, {5, 5}, {5, 3}, {3, 3}, {3, 5}, {1, 5}};
    const std::vector<std::string> empty(6, "........");
    const std::vector<std::string> square = {"........", ".######.", ".######.", ".######.", ".######.", "........"};
    const std::vector<std::string> uShape = {"........", ".######.", ".######.", ".##..##.", ".##..##.", "........"};
    const struct { const char* name; std::vector<std::pair<int, int>> vertices; int rule;
                   std::vector<std::string> expected; } rows[] = {
        {"wound twice, even-odd", twice, EVEN_ODD_FILL, empty},
        {"wound twice, non-zero", twice, NON_ZERO_FILL, square},
        {"any other rule is non-zero", twice, 5, square},
        {"concave, even-odd", u, EVEN_ODD_FILL, uShape},
        {"concave, non-zero", u, NON_ZERO_FILL, uShape},
        {"outside the grid", {{-5, -5}, {20, -5}, {-5, 3}}, EVEN_ODD_FILL,
         {"####....", "#.......", "........", "........", "........", "........"}},
        {"two vertices", {{1, 1}, {7, 5}}, EVEN_ODD_FILL, empty},
    };
    for (const auto& r : rows) {
        CharBuffer b = grid<char>(8, 6, 0);
        b.fillComplexPolygonWithValue(r.vertices, r.rule, 'x');
        EXPECT_EQ(picture(b), r.expected) << r.name;
    }
}

namespace {
struct SortProbe : IntBuffer {
    using IntBuffer::insertionSort;
};
} // namespace

TEST(BufferTemplateTest, InsertionSortOrdersPairsByValueStably)
{
    int pairs[5][2] = {{0, 5}, {1, 3}, {2, 5}, {3, -1}, {4, 3}};
    int* entries[5] = {pairs[0], pairs[1], pairs[2], pairs[3], pairs[4]};
    SortProbe().insertionSort(entries, 5);
    const int expected[5][2] = {{3, -1}, {1, 3}, {4, 3}, {0, 5}, {2, 5}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(entries[i], pairs[i]); // contents move, not pointers
        EXPECT_EQ(entries[i][0], expected[i][0]) << i;
        EXPECT_EQ(entries[i][1], expected[i][1]) << i;
    }
}

TEST(BufferTemplateTest, BulkFillsStayInsideTheGrid)
{
    FloatBuffer pairs = grid(3, 1, 0.0f, 2);
    float v[3] = {1.0f, 2.0f, 3.0f};
    pairs.fillEntireBufferWith2DValue(v);
    FloatBuffer odd = grid(5, 1, 0.0f); // five elements: two pairs and a lone first value
    odd.fillEntireBufferWith2DValue(v);
    FloatBuffer triples = grid(4, 1, 0.0f); // four elements: one triple and a lone first value
    triples.fillEntireBufferWith3DValue(v);
    EXPECT_EQ(std::vector<float>(pairs.getBufferArray(), pairs.getBufferArray() + 6),
              (std::vector<float>{1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(std::vector<float>(odd.getBufferArray(), odd.getBufferArray() + 5), (std::vector<float>{1, 2, 1, 2, 1}));
    EXPECT_EQ(std::vector<float>(triples.getBufferArray(), triples.getBufferArray() + 4),
              (std::vector<float>{1, 2, 3, 1}));
    triples.clearBuffer();
    EXPECT_EQ(std::vector<float>(triples.getBufferArray(), triples.getBufferArray() + 4), std::vector<float>(4, 0.0f));
}

TEST(BufferTemplateTest, MemoryAccountingAndLayout)
{
    FloatBuffer big(7);
    big.setSizeAndAllocateMemory(1000, 800);
    EXPECT_EQ(big.getAllocatedMemorySizeInBytes(), 3200000ul);
    EXPECT_EQ(big.getAllocatedMemorySize(), 3125ul);
    EXPECT_EQ(big.getID(), 7u);

    DoubleBuffer d(3, 1);
    d.setSizeAndAllocateMemory(4, 2);
    EXPECT_EQ(d.getBitDepth(), 24u);
    EXPECT_EQ(d.getBitDepthPerChannel(), 8u);
    EXPECT_EQ(d.getAllocatedMemorySizeInBytes(), 192ul);
    EXPECT_EQ(d.getAllocatedMemorySize(), 0ul);
    double v[3] = {1, 2, 3};
    d.set3DValues(2, 1, v);
    EXPECT_EQ(d.getBufferArray()[(1 * 4 + 2) * 3 + 2], 3.0); // cell (2, 1), channel 2

    d.setSizeAndAllocateMemory(2, 2); // re-sizing replaces the grid
    EXPECT_EQ(d.getAllocatedMemorySizeInBytes(), 96ul);
    EXPECT_THROW(d.setSizeAndAllocateMemory(100000, 100000), std::bad_alloc);
    EXPECT_EQ(d.getAllocatedMemorySizeInBytes(), 0ul);

    BoolBuffer fresh;
    EXPECT_EQ(fresh.getID(), 0xFFFFFFFFu);
    EXPECT_EQ(fresh.getChannelNumber(), 1u);
    EXPECT_EQ(fresh.getBufferArray(), nullptr);
}

TEST(BufferTemplateTest, ValidityLifecycle)
{
    FloatBuffer b;
    EXPECT_TRUE(b.isInvalid());
    EXPECT_FALSE(b.isValidating());
    b.startValidating();
    EXPECT_TRUE(b.isValid() && b.isValidating());
    b.finishValidating();
    EXPECT_TRUE(b.isValid() && !b.isValidating());
    b.invalidate();
    EXPECT_TRUE(b.isInvalid() && !b.isValid());
}

TEST(BufferTemplateTest, CopiesAreDeepAndMovesTransferOwnership)
{
    IntBuffer a = grid(3, 2, 4);
    a.startValidating();
    IntBuffer copy(a);
    copy.setValue(1, 1, 9);
    EXPECT_EQ(a.getValue(1, 1), 4);
    EXPECT_TRUE(copy.isValidating());

    IntBuffer assigned = grid(10, 10, 0);
    assigned = a;
    assigned = assigned;
    EXPECT_EQ(assigned.getWidth(), 3u);
    EXPECT_NE(assigned.getBufferArray(), a.getBufferArray());

    IntBuffer moved(std::move(a));
    EXPECT_EQ(moved.getValue(2, 1), 4);
    EXPECT_EQ(a.getBufferArray(), nullptr);
    EXPECT_EQ(a.getAllocatedMemorySizeInBytes(), 0ul);

    IBuffer* erased = new FloatBuffer(2, 5);
    EXPECT_NE(bufferCast<float>(erased), nullptr);
    EXPECT_EQ(bufferCast<int>(erased), nullptr);
    erased->destroy();
}

class BufferImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() / ("buffer-image-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string read(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::filesystem::path dir;
};

TEST_F(BufferImageTest, FourChannelsGiveTwoImagesBottomRowFirst)
{
    UnsignedCharBuffer b = grid<unsigned char>(2, 2, 0, 4);
    const unsigned char cells[2][2][4] = {{{1, 2, 3, 4}, {5, 6, 7, 8}}, {{9, 10, 11, 12}, {13, 14, 15, 16}}};
    for (unsigned int y = 0; y < 2; ++y)
        for (unsigned int x = 0; x < 2; ++x)
            b.setNDValues(x, y, 4, const_cast<unsigned char*>(cells[y][x]));
    OutputCapture out;
    b.createImage(path("dump.ppm").c_str());
    EXPECT_EQ(out.take(), "i-Buffer data written to file: " + path("dump0.ppm") + "\n" +
                          "i-Buffer data written to file: " + path("dump1.ppm") + "\n");
    EXPECT_EQ(read("dump0.ppm"), std::string("P6 2 2 255 \x09\x0a\x0b\x0d\x0e\x0f\x01\x02\x03\x05\x06\x07", 23));
    EXPECT_EQ(read("dump1.ppm"), std::string("P6 2 2 255 \x0c\0\0\x10\0\0\x04\0\0\x08\0\0", 23));
}

TEST_F(BufferImageTest, ConvertsValuesPerTypeAndNamesFiles)
{
    const struct { const char* name; std::string file; unsigned char byte; } rows[] = {
        {"float", "float0.ppm", 173},  {"float-wrap.ppm", "float-wrap0.ppm", 47},
        {"float-negative", "float-negative0.ppm", 0xFF}, {"int", "int0.ppm", 7},
        {"char", "char0.ppm", 0xFD},    {"bool-true", "bool-true0.ppm", 1},
        {"bool-no-scale", "bool-no-scale0.ppm", 0}, {"bool-offset", "bool-offset0.ppm", 1},
    };
    OutputCapture out;
    grid(1, 1, 1.7f).createImage(path(rows[0].name).c_str(), 100.0, 3.0);  // 173
    grid(1, 1, 3.0f).createImage(path(rows[1].name).c_str(), 100.0, 3.0);  // 303: low byte 47
    grid(1, 1, -1.5f).createImage(path(rows[2].name).c_str());             // -1 truncated
    grid(1, 1, 3).createImage(path(rows[3].name).c_str(), 2.9, 1.9);       // 3 × 2 + 1
    grid<char>(1, 1, -1).createImage(path(rows[4].name).c_str(), 3.0, 0.0); // -3
    grid(1, 1, true).createImage(path(rows[5].name).c_str(), 0.5, 0.0);
    grid(1, 1, true).createImage(path(rows[6].name).c_str(), 0.0, 0.0);
    grid(1, 1, false).createImage(path(rows[7].name).c_str(), 0.0, 0.5);
    std::string expectedOutput;
    for (const auto& r : rows) {
        expectedOutput += "i-Buffer data written to file: " + path(r.file) + "\n";
        EXPECT_EQ(read(r.file), "P6 1 1 255 " + std::string(1, char(r.byte)) + std::string(2, '\0')) << r.name;
    }
    EXPECT_EQ(out.take(), expectedOutput);
}

TEST_F(BufferImageTest, NoChannelsThrowsAndWritesNothing)
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
}
