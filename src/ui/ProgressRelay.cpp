#include "ui/ProgressRelay.h"

namespace mrk2::ui {

ProgressRelay::ProgressRelay(QObject* parent) : QObject(parent) {
    qRegisterMetaType<mrk2::Progress>();
}

void ProgressRelay::progress(const Progress& progress) {
    emit reported(progress);
}

}  // namespace mrk2::ui
