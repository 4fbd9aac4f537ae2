// A text pasted into a one-line text box is kept whole, however long it is: 40000 digits
// followed by an exponent are read as the small number they make together, not as the huge
// number of the digits alone.
#include "vandrel_test.h"

#include <QClipboard>
#include <QKeySequence>
#include <QLineEdit>

namespace {

TEST_F(VandrelTest, ALongPastedInputIsKeptWholeAndSquared)
{
    const QString pasted = QString(40000, QLatin1Char('1')) + QStringLiteral("e-40000");
    auto* box = control<TextBox>(&form, "txtinput");
    auto* editor = qobject_cast<QLineEdit*>(box->editor());
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    editor->selectAll();
    QApplication::clipboard()->setText(pasted);
    QTest::keySequence(editor, QKeySequence::Paste);
    ASSERT_EQ(box->text(), pasted.toStdU16String());

    clickButton(&form, "cmdaction");
    // 0.111… squared and rounded to a 32-bit real.
    EXPECT_EQ(result(), u" .0123456791043282");
}

TEST_F(VandrelTest, ALongTextSetIntoABoxIsKeptWhole)
{
    const std::u16string text = std::u16string(70000, u'7') + u"E-69999";
    auto* box = control<TextBox>(&form, "txttext");
    box->setText(text);
    EXPECT_EQ(box->text(), text);
}

} // namespace
