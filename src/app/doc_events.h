// Qt adapter of the capture document's observer interface: every document event becomes a
// signal, delivered at once on the thread that runs the document operation.
#pragma once

#include <QObject>
#include <QString>

#include "capture/document_observer.h"

class CKVDoc;

class CDocEvents : public QObject, public CKVDocObserver {
    Q_OBJECT

  public:
    // Registers with the document for the adapter's lifetime.
    explicit CDocEvents(CKVDoc& document, QObject* parent = nullptr);
    ~CDocEvents() override;

    void OnStatusText(const std::string& text) override;
    void OnProgress(int percent) override;
    void OnContentsChanged() override;
    void OnPacketsChanged(const PacketChange& change) override;
    void OnTimeOriginChanged(int64_t delta) override;

  signals:
    void statusText(const QString& text);
    void progress(int percent);
    void contentsChanged();
    void packetsChanged(const PacketChange& change);
    void timeOriginChanged(qint64 delta);

  private:
    CKVDoc& document_;
};
