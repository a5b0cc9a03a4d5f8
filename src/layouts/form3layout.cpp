#include "form3layout.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "layouts/artwork.h"

namespace tolvex {

Form3Layout buildForm3(QWidget *form)
{
    form->setObjectName(QStringLiteral("Form3"));
    setFixedDialogFrame(form, QStringLiteral("Message Viewer"), QSize(twips(6045), twips(2775)),
                        QPoint(twips(480), twips(1350)));

    form->setWindowIcon(form3Icon());

    Form3Layout c;
    c.Command2 = plainButton(QStringLiteral("&Reply"), form, twipsRect(4500, 2400, 675, 315), QStringLiteral("Command2"));
    c.Command1 = plainButton(QStringLiteral("&Close"), form, twipsRect(5280, 2400, 675, 315), QStringLiteral("Command1"));
    c.Text1 = wrappingTextBox(form, twipsRect(60, 540, 5895, 1695), QStringLiteral("Text1"));
    c.Label1 = plainLabel(QString(), form, twipsRect(60, 120, 5835, 255), QStringLiteral("Label1"));

    QWidget::setTabOrder(c.Text1, c.Command1);
    QWidget::setTabOrder(c.Command1, c.Command2);
    c.Text1->setFocus();
    return c;
}

} // namespace tolvex
