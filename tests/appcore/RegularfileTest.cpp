// Reading a whole regular file: the size limit to the byte, and files whose
// size the system reports as 0 although they hold text.

#include "Regularfile.h"
#include "TestSupport.h"

#include <cerrno>

namespace {

int ReadError(const std::string &path, std::uint64_t maxBytes)
{
    try {
        ReadRegularFile(path, maxBytes);
    } catch (const FileReadError &e) {
        return e.Error();
    }
    return 0;
}

TEST(RegularFile, AFileOfTheLimitIsReadAndOneByteMoreRefused)
{
    const ScratchDirectory dir;
    const std::string path = dir.File("limit.txt");
    for (const std::size_t size : {0, 1, 4095, 4096, 4097, 100000}) {
        WriteFile(path, std::string(size, 'x'));
        EXPECT_EQ(ReadRegularFile(path, size), std::string(size, 'x')) << size;
        if (size > 0)
            EXPECT_EQ(ReadError(path, size - 1), EFBIG) << size;
    }
}

// /proc files report a size of 0: read to their end, or refused, never cut.
TEST(RegularFile, AFileThatReportsNoSizeIsReadWholeOrRefused)
{
    const std::string cmdline = ReadFile("/proc/self/cmdline");
    ASSERT_GT(cmdline.size(), 1u);
    EXPECT_EQ(ReadRegularFile("/proc/self/cmdline", cmdline.size()), cmdline);
    EXPECT_EQ(ReadError("/proc/self/cmdline", cmdline.size() - 1), EFBIG);
}

} // namespace
