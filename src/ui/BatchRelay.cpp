#include "ui/BatchRelay.h"

namespace mrk2::ui {

namespace {

QString outcomeName(const BatchRegion& region) {
    switch (region.outcome.kind) {
        case Outcome::Kind::Completed:
            return QStringLiteral("完了");
        case Outcome::Kind::NothingToDo:
            return QStringLiteral("変更なし");
        case Outcome::Kind::Stopped:
            return region.started ? QStringLiteral("中止") : QStringLiteral("未実行");
        default:
            return QStringLiteral("失敗");
    }
}

}  // namespace

BatchRelay::BatchRelay(QObject* parent) : QObject(parent) {
    qRegisterMetaType<mrk2::Progress>();
}

void BatchRelay::planned(const std::vector<BatchRegion>& regions) {
    QStringList names, failed;
    for (const BatchRegion& r : regions) {
        names << QString::fromStdString(r.region);
        failed << (r.sources.empty() ? outcomeName(r) : QString());
    }
    emit regionsPlanned(names, failed);
}

void BatchRelay::regionProgress(std::size_t index, const Progress& progress) {
    emit regionReported(static_cast<int>(index), progress);
}

void BatchRelay::regionFinished(std::size_t index, const BatchRegion& region) {
    emit regionEnded(static_cast<int>(index), outcomeName(region), region.seconds);
}

}  // namespace mrk2::ui
