// WMF and EMF files read as pictures: how they are told from other files, their size, text drawn in
// glyphs, and broken files, which read as no picture and never take the program down.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/MetafilePicture.h"
#include "support/MetafileWriter.h"

namespace {

const std::vector<MetafileBox> kBoxes = {{QRectF(5, 5, 10, 10), Qt::red}, {QRectF(25, 5, 10, 10), Qt::blue}};

double millimetresWide(const QImage& picture) {
    return picture.width() * 1000.0 / picture.dotsPerMeterX();
}
double millimetresHigh(const QImage& picture) {
    return picture.height() * 1000.0 / picture.dotsPerMeterY();
}

TEST(MetafilePicture, MetafilesAreToldByTheirFirstBytesAndKeepTheirFrameSize) {
    const QByteArray wmf = WmfPicture(QSizeF(40, 20), kBoxes);
    const QByteArray emf = EmfPicture(QSizeF(40, 20), kBoxes);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(4, 4, QImage::Format_RGB32).save(&buffer, "PNG");
    constexpr int kPlaceableHeader = 22;
    EXPECT_TRUE(IsMetafile(wmf.left(kMetafileStart)));
    EXPECT_TRUE(IsMetafile(wmf.mid(kPlaceableHeader, kMetafileStart)));
    EXPECT_TRUE(IsMetafile(emf.left(kMetafileStart)));
    EXPECT_FALSE(IsMetafile(png.left(kMetafileStart)));
    EXPECT_FALSE(IsMetafile(QByteArray("Pressa idraulica 40 t, scheda tecnica e disegni allegati")));

    for (const QByteArray& file : {wmf, emf}) {
        const QImage picture = ReadMetafile(file);
        ASSERT_FALSE(picture.isNull());
        EXPECT_NEAR(40, millimetresWide(picture), 0.1);
        EXPECT_NEAR(20, millimetresHigh(picture), 0.1);
        EXPECT_NEAR(300 / 25.4 * 40, picture.width(), 1);  // 300 dpi
    }
    // A picture a metre square is drawn at a resolution that keeps it within 8 million pixels.
    const QImage metre = ReadMetafile(EmfPicture(QSizeF(1000, 1000), {{QRectF(0, 0, 500, 500), Qt::red}}));
    ASSERT_FALSE(metre.isNull());
    EXPECT_LE(qint64(metre.width()) * metre.height(), 8LL << 20);
    EXPECT_GT(metre.width(), 2500);
    EXPECT_NEAR(1000, millimetresWide(metre), 1);
    EXPECT_EQ(QString("red"), ColourName(metre.pixel(metre.width() / 4, metre.height() / 4)));
}

// A text line 10 mm high in black: its capitals are about 7 mm of ink, starting where the text does (the
// fonts the library looks for are installed); around the glyphs the picture is clear.
TEST(MetafilePicture, WmfTextIsDrawnInGlyphs) {
    const QImage picture = ReadMetafile(
        WmfPicture(QSizeF(80, 20), {}, {{QPointF(5, 5), 10, QStringLiteral("HHHH"), Qt::black}}));
    ASSERT_FALSE(picture.isNull());
    const double pxPerMm = picture.width() / 80.0;
    int top = picture.height(), bottom = -1, left = picture.width(), right = -1;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            if (qAlpha(pixel) > 155 && qGray(pixel) < 100) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    ASSERT_GE(bottom, 0) << "no ink";
    EXPECT_NEAR(5, left / pxPerMm, 1.5);
    EXPECT_GT(top / pxPerMm, 5);
    EXPECT_NEAR(7, (bottom - top + 1) / pxPerMm, 1);
    EXPECT_NEAR(30, (right - left + 1) / pxPerMm, 10);  // four capitals of about their height
    EXPECT_EQ(0, qAlpha(picture.pixel(int(2 * pxPerMm), int(2 * pxPerMm))));
}

// Cut short, or with fields that cannot be and that the libraries would trust: no picture.
TEST(MetafilePicture, BrokenFilesAreNoPicture) {
    const QByteArray wmf = WmfPicture(QSizeF(40, 20), kBoxes);
    const QByteArray emf = EmfPicture(QSizeF(40, 20), kBoxes);
    for (const QByteArray& file : {wmf, emf}) {
        for (qsizetype cut = 0; cut < file.size(); cut += 7) {
            SCOPED_TRACE(cut);
            EXPECT_TRUE(ReadMetafile(file.left(cut)).isNull());
        }
    }
    auto patched = [](QByteArray file, int at, QByteArray bytes) {
        return file.replace(at, bytes.size(), bytes);
    };
    const QByteArray broken[] = {
        patched(wmf, 14, QByteArray(2, '\0')),                     // no units an inch
        patched(wmf, 10, QByteArray(2, '\0')),                     // a frame with no width
        patched(wmf, 22 + 12, QByteArray("\xFF\xFF\xFF\x7F", 4)),  // a largest record of 4 GB
        patched(emf, 32, QByteArray(4, '\0')),                     // a frame with no width
        patched(emf, 88 + 4, QByteArray("\x00\x00\x01\x00", 4)),   // a record beyond the file
        // found by fuzzing: a description of 248 characters where the header is not (the library read it)
        patched(emf, 64, QByteArray("\xF8\0\0\0\0\0\0\0", 8)),
    };
    for (const QByteArray& file : broken) {
        SCOPED_TRACE(file.toHex().toStdString());
        EXPECT_TRUE(ReadMetafile(file).isNull());
    }
}

// Selecting or deleting a slot that holds no object is passed over, as Windows does: the box is drawn,
// and nothing beside it.
// (The library used whatever the empty slot's memory held, and crashed or asked for gigabytes.)
TEST(MetafilePicture, RecordsNamingEmptySlotsArePassedOver) {
    const QByteArray brush = WmfRecord(0x02FC, {0, 0x00FF, 0, 0});  // solid red
    const QByteArray nullPen = WmfRecord(0x02FA, {5, 0, 0, 0, 0});
    const QByteArray box = WmfRecord(0x041B, {1500, 1500, 500, 500});  // 5 to 15 mm each way
    const QImage picture = ReadMetafile(
        WmfOfRecords(QSizeF(20, 20), 4,
                     {brush, nullPen, WmfRecord(0x012D, {0}), WmfRecord(0x012D, {1}), WmfRecord(0x012D, {3}),
                      WmfRecord(0x01F0, {2}), WmfRecord(0x012D, {900}), box}));
    ASSERT_FALSE(picture.isNull());
    const double pxPerMm = picture.width() / 20.0;
    EXPECT_EQ(QString("red"), ColourName(picture.pixel(int(10 * pxPerMm), int(10 * pxPerMm))));
    EXPECT_EQ(0, qAlpha(picture.pixel(int(2 * pxPerMm), int(10 * pxPerMm))));
}

// The address space this process may add to what it has now, for itself and its children.
// Only the soft limit, as any user may set it: the hard one stays as inherited (often unlimited).
bool capMemory(rlim_t more) {
    QFile statm(QStringLiteral("/proc/self/statm"));
    rlimit limit{};
    if (!statm.open(QIODevice::ReadOnly) || ::getrlimit(RLIMIT_AS, &limit) != 0) return false;
    const rlim_t pages = statm.readAll().split(' ').value(0).toULongLong();
    limit.rlim_cur = pages * rlim_t(::sysconf(_SC_PAGESIZE)) + more;
    return pages > 0 && ::setrlimit(RLIMIT_AS, &limit) == 0;
}

// A decoder that runs out of memory (here copying a file of 16 MB with 8 MB to spare) ends in its own
// process: the caller, in a child of the test's own, hears of no picture, and only that child reports.
// (The exception unwound into the caller's code inside the decoder's process, which ran on as a copy.)
TEST(MetafilePicture, ADecoderThatThrowsEndsInItsOwnProcess) {
    const QByteArray padding(16 << 20, '\0');
    for (const QByteArray& file :
         {WmfPicture(QSizeF(40, 20), kBoxes) + padding, EmfPicture(QSizeF(40, 20), kBoxes) + padding}) {
        int report[2];
        ASSERT_EQ(0, ::pipe(report));
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(report[0]);
            if (!capMemory(8 << 20)) ::_exit(2);
            const char* said = "an exception";
            try {
                said = ReadMetafile(file).isNull() ? "no picture" : "a picture";
            } catch (...) {
            }
            ::dprintf(report[1], "%d %s\n", int(::getpid()), said);
            ::_exit(0);
        }
        ::close(report[1]);
        QFile reader;
        ASSERT_TRUE(reader.open(report[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        const QByteArray told = reader.readAll();
        int status = 0;
        ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_EQ(std::to_string(pid) + " no picture\n", told.toStdString());
    }
}

}  // namespace
