// Compiled only by the core_links_no_widgets test, which expects it to fail.
#include <QWidget>
