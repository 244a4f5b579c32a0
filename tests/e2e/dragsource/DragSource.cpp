// A small window that drags one file, as a file manager would: press on it, move, release over the
// target. The end-to-end tests drop pictures onto the editor's cells with it.
// Usage: nq-drag-source FILE
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <cstdio>

class DragSource : public QLabel {
public:
  explicit DragSource(QString file) : QLabel("drag me"), File(std::move(file)) {
    setWindowTitle("nq-drag-source");
    setFixedSize(120, 80);
    setAlignment(Qt::AlignCenter);
  }

protected:
  void mousePressEvent(QMouseEvent*) override {
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(File)});
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
    std::printf("drop %s\n", done == Qt::IgnoreAction ? "refused" : "accepted");
    std::fflush(stdout);
  }

private:
  QString File;
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) return 2;
  DragSource source(QString::fromLocal8Bit(argv[1]));
  source.move(20, 600);
  source.show();
  return app.exec();
}
