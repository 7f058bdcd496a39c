// The overview tables of the virtual channels as real tables: the rows of a
// ChannelTableDialog model in columns under its headings. A double click on
// a row opens that record's dialog through the model, and the rows follow
// its changes. Any other renderer shows the same model as a list box.
#pragma once

#include <QDialog>

#include "channels/channel_tables.h"

class QTableWidget;

namespace tsm::gui {

class ChannelTableView : public QDialog {
 public:
  ChannelTableView(channels::ChannelTableDialog& model, QWidget* parent);

  // Starts the model, shows the table modally; returns the model's result.
  int Run();
  QTableWidget* Table() const { return table_; }

 protected:
  void reject() override;  // Escape and the close box: the model's Close

 private:
  void Fill();

  channels::ChannelTableDialog& model_;
  QTableWidget* table_;
};

// Runs the table of the kind modally over `parent`.
int RunChannelTableView(channels::ChannelTableDialog::Kind kind, QWidget* parent);

}  // namespace tsm::gui
