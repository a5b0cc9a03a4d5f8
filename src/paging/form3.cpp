#include "form3.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "paging/form2.h"

namespace tolvex {

Form3::Form3(const QString &line, const QString &text, QWidget *parent)
    : QWidget(parent)
    , c(buildForm3(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    c.Label1->setText(line);
    c.Text1->setPlainText(boxTextFromPage(text));
    connect(c.Command2, &QPushButton::clicked, this, &Form3::replyPressed);
    connect(c.Command1, &QPushButton::clicked, this, &QWidget::close);
}

} // namespace tolvex
