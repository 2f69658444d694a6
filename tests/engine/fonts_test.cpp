#include "enginetestutil.h"

#include "engine/capturehost.h"
#include "engine/fontfamilies.h"
#include "engine/htmlview.h"

#include <QFontDatabase>

#include <gtest/gtest.h>

namespace {

TEST(FontFamiliesTest, FoundriesAreCutOffFamilyNames)
{
    const std::pair<const char *, const char *> rows[] = {
        { "Nimbus Roman [urw]", "Nimbus Roman" },
        { "Liberation Serif [1ASC]", "Liberation Serif" },
        { "Liberation Serif", "Liberation Serif" },
        { "Odd [Name] Font", "Odd [Name] Font" },
        { "", "" },
    };
    for (const auto &[name, plain] : rows)
        EXPECT_EQ(engine::familyWithoutFoundry(QString::fromLatin1(name)), QLatin1String(plain));
}

class FontsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFontDatabase::hasFamily(QStringLiteral("Liberation Serif")))
            << "the Liberation fonts (fonts-liberation2) are missing";
    }

    // The sample text in this style, as the view draws it.
    QImage shoot(const QString &style, const QString &tag = QStringLiteral("p"))
    {
        const QString file = pages.write(QStringLiteral("f%1.htm").arg(++count),
            QStringLiteral("<html><body style='margin:4px'><%1 style=\"%2\">Some normal text, "
                           "Wide Words 0123 @#</%1></body></html>")
                .arg(tag, style)
                .toUtf8());
        EXPECT_TRUE(host.view()->loadHtmlFile(file));
        return host.capture();
    }

    PageFolder pages;
    engine::CaptureHost host { QSize(400, 60) };
    int count = 0;
};

TEST_F(FontsTest, WindowsFamiliesAreDrawnInMetricCompatibleFaces)
{
    const std::pair<const char *, const char *> rows[] = {
        { "font-family:'Times New Roman'", "font-family:'Liberation Serif'" },
        { "font-family:Arial", "font-family:'Liberation Sans'" },
        { "font-family:'Courier New'", "font-family:'Liberation Mono'" },
        { "", "font-family:'Liberation Serif'" }, // the default font, "Times New Roman"
    };
    for (const auto &[windows, liberation] : rows) {
        SCOPED_TRACE(windows);
        EXPECT_EQ(shoot(QLatin1String(windows)), shoot(QLatin1String(liberation)));
    }
    // The default fixed-pitch font, "Courier New", at its size: 13/16 of 16 pixels.
    EXPECT_EQ(shoot(QString(), QStringLiteral("code")),
        shoot(QStringLiteral("font:13px 'Liberation Mono'"), QStringLiteral("code")));
    // The comparison sees another face.
    EXPECT_NE(shoot(QStringLiteral("font-family:'Liberation Serif'")),
        shoot(QStringLiteral("font-family:'DejaVu Serif'")));
}

TEST_F(FontsTest, AFamilyOfTwoFoundriesReachesTheEngineByItsPlainName)
{
    const int id = addSecondFoundryOf(liberationSerifFile());
    ASSERT_GE(id, 0);
    host.view()->setDefaultFontName(QStringLiteral("Times New Roman"));
    const QImage byDefault = shoot(QString());
    host.view()->setDefaultFontName(QStringLiteral("Liberation Serif [ZZTS]"));
    const QImage byListEntry = shoot(QString());
    const QImage serif = shoot(QStringLiteral("font-family:'Liberation Serif'"));
    QFontDatabase::removeApplicationFont(id);

    EXPECT_EQ(engine::engineFamily(QStringLiteral("Liberation Serif [ZZTS]")),
        QStringLiteral("Liberation Serif"));
    EXPECT_EQ(byDefault, serif);
    EXPECT_EQ(byListEntry, serif);
}

} // namespace
