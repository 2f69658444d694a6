#include "engine/pagescript.h"

#include <gtest/gtest.h>

namespace {

TEST(PageScriptTest, MessagesFromThePageScriptAreParsedAndOthersIgnored)
{
    struct Row {
        const char *name;
        QString text;
        bool accepted;
        QString kind;
        QStringList fields;
    };
    const QString tag = engine::messageTag();
    const Row rows[] = {
        { "cover", tag + QStringLiteral("[\"cover\",\"main\",\"b.htm\"]"), true,
            QStringLiteral("cover"), { QStringLiteral("main"), QStringLiteral("b.htm") } },
        { "leave", tag + QStringLiteral("[\"cover\",\"\",\"\"]"), true, QStringLiteral("cover"),
            { QString(), QString() } },
        { "page's own console output", QStringLiteral("[\"cover\",\"x\",\"y\"]"), false, {}, {} },
        { "broken JSON", tag + QStringLiteral("[\"cover\","), false, {}, {} },
        { "empty array", tag + QStringLiteral("[]"), false, {}, {} },
    };
    for (const Row &row : rows) {
        engine::PageMessage message;
        EXPECT_EQ(engine::parsePageMessage(row.text, &message), row.accepted) << row.name;
        if (row.accepted) {
            EXPECT_EQ(message.kind, row.kind) << row.name;
            EXPECT_EQ(message.fields, row.fields) << row.name;
        }
    }
}

} // namespace
