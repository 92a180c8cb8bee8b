#include "app/doc_events.h"

#include "capture/document.h"

CDocEvents::CDocEvents(CKVDoc& document, QObject* parent) : QObject(parent), document_(document) {
    document_.AddObserver(this);
}

CDocEvents::~CDocEvents() {
    document_.RemoveObserver(this);
}

void CDocEvents::OnStatusText(const std::string& text) {
    emit statusText(QString::fromStdString(text));
}

void CDocEvents::OnProgress(int percent) {
    emit progress(percent);
}

void CDocEvents::OnContentsChanged() {
    emit contentsChanged();
}

void CDocEvents::OnPacketsChanged(const PacketChange& change) {
    emit packetsChanged(change);
}

void CDocEvents::OnTimeOriginChanged(int64_t delta) {
    emit timeOriginChanged(delta);
}
