#pragma once

#include <QIcon>
#include <QPixmap>

namespace tolvex {

/// The main window's background, 350 x 200: a grey bevelled frame around a darker
/// recessed panel (behind the status label and the list), a band behind the buttons and
/// a maker line at the right of that band.
QPixmap form1Background();
/// The splash's background, 350 x 250: a light grey (189, 189, 189) field with a bevelled
/// edge, the product name in large blue italic letters at the top left and a maker line
/// at the bottom right.
QPixmap form4Background();
/// The program's icon (main window), 32 x 32 and 16 x 16 in 16 colours.
QIcon form1Icon();
/// The Send Message dialog's icon.
QIcon form2Icon();
/// The Message Viewer's icon, different from the other two.
QIcon form3Icon();

} // namespace tolvex
