#pragma once
#include <QString>
#include <QStringList>

class QComboBox;

namespace mrk2::ui {

// What the "drive" lists of the tool offer on this system: the file-system root
// first, then every mounted volume that is ready, by mount point.
QStringList driveRoots();

// The entry of `roots` that holds `path`: the longest mount point that is a
// prefix of it ("/" when none is).
QString driveOf(const QString& path, const QStringList& roots);

// Fills a combo box with the roots (display text and data are the mount point).
void fillDriveBox(QComboBox* box, const QStringList& roots);

// A directory path as the tool keeps it: absolute, cleaned, without a trailing
// separator except for the root itself.
QString normalDirPath(const QString& path);

}  // namespace mrk2::ui
