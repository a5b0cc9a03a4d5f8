#include "form2layout.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "layouts/artwork.h"

namespace tolvex {

void setFixedDialogFrame(QWidget *form, const QString &title, QSize clientSize, QPoint firstPosition)
{
    form->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                         | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                         | Qt::MSWindowsFixedSizeDialogHint);
    form->setWindowTitle(title);
    form->setFixedSize(clientSize);
    form->move(firstPosition);
}

QPushButton *plainButton(const QString &caption, QWidget *form, const QRect &geometry, const QString &name)
{
    auto *button = new QPushButton(caption, form);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setGeometry(geometry);
    return button;
}

QLabel *plainLabel(const QString &text, QWidget *form, const QRect &geometry, const QString &name)
{
    auto *label = new QLabel(text, form);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFocusPolicy(Qt::NoFocus);
    label->setGeometry(geometry);
    return label;
}

QPlainTextEdit *wrappingTextBox(QWidget *form, const QRect &geometry, const QString &name)
{
    auto *box = new QPlainTextEdit(form);
    box->setObjectName(name);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    box->setGeometry(geometry);
    return box;
}

Form2Layout buildForm2(QWidget *form)
{
    form->setObjectName(QStringLiteral("Form2"));
    setFixedDialogFrame(form, QStringLiteral("Send Message"), QSize(twips(4035), twips(2865)),
                        QPoint(twips(1410), twips(2295)));

    form->setWindowIcon(form2Icon());

    Form2Layout c;
    c.Command1 = plainButton(QStringLiteral("&OK"), form, twipsRect(3120, 2400, 675, 375), QStringLiteral("Command1"));
    c.Text1 = wrappingTextBox(form, twipsRect(1020, 480, 2775, 1815), QStringLiteral("Text1"));

    c.Combo1 = new QComboBox(form);
    c.Combo1->setObjectName(QStringLiteral("Combo1"));
    c.Combo1->setEditable(true);
    // The history is filled by "&OK" alone, in the order of the presses, repeats included;
    // no completer changes what the user types.
    c.Combo1->setInsertPolicy(QComboBox::NoInsert);
    c.Combo1->setDuplicatesEnabled(true);
    c.Combo1->setCompleter(nullptr);
    c.Combo1->setGeometry(twipsRect(1020, 60, 2775, 315));

    c.Label2 = plainLabel(QStringLiteral("Message:"), form, twipsRect(60, 540, 795, 255), QStringLiteral("Label2"));
    c.Label1 = plainLabel(QStringLiteral("Hostname:"), form, twipsRect(60, 120, 855, 255), QStringLiteral("Label1"));

    QWidget::setTabOrder(c.Combo1, c.Text1);
    QWidget::setTabOrder(c.Text1, c.Command1);
    c.Combo1->setFocus();
    return c;
}

} // namespace tolvex
