#pragma once

#include <QWidget>
#include <functional>

#include "measure/QMContext.h"

class QFrame;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TObjDef;

// Two arrow buttons ("Up" above "Down"); each press reports +1 or -1. Holds no value: the
// owner decides what a step means and where it stops.
class TUpDown : public QWidget {
  Q_OBJECT
 public:
  explicit TUpDown(QWidget* parent = nullptr);
  QToolButton* Up() const { return up_; }
  QToolButton* Down() const { return down_; }

 signals:
  void stepped(int delta);

 private:
  QToolButton* up_;
  QToolButton* down_;
};

// The marker preview: the object's marker centred at (10, 10), size 20, in its colour. Asks
// for the object at every paint, so it never draws one that has gone.
class TMarkerPreview : public QWidget {
 public:
  TMarkerPreview(std::function<const TObjDef*()> object, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<const TObjDef*()> object_;
};

// The Objects page of the Quick Measure window: the user objects as a sorted tree with
// editable labels, making, renaming, deleting and clearing them, and their marker and colour.
// Interface thread only; the context outlives the page.
class TQMObjectsPage : public QWidget {
  Q_OBJECT
 public:
  TQMObjectsPage(TQMContext& ctx, QWidget* parent = nullptr);

  // The tree again from the model's objects (after a measurement file was loaded).
  void Reload();
  // The object of the selected node, or null.
  TObjDef* Selected() const;

  // Whether the object is the one the Reference page refers to. Unset: none is.
  std::function<bool(const TObjDef*)> isReferenceObject;

  // The actions behind the buttons; kind indexes kObjectKinds.
  void NewObject(int kind);
  void DeleteSelected();
  void ClearSelected();
  void StepMarker(int delta);
  void StepColour(int delta);

 signals:
  void objectCreated(TObjDef* def);
  void objectRenamed(TObjDef* def);
  // The user confirmed; the object still exists and goes right after.
  void objectDeleting(TObjDef* def);
  // After an object was made, deleted or cleared.
  void objectsChanged();

 private:
  void BuildTree();
  QWidget* BuildButtons();
  QWidget* BuildNewObjectGroup();
  QWidget* BuildPropertiesGroup();
  QTreeWidgetItem* AddItem(TObjDef* def, int image);
  TObjDef* ObjectOf(const QTreeWidgetItem* item) const;
  void ItemChanged(QTreeWidgetItem* item, int column);
  bool Rename(TObjDef* def, const QString& name);
  void ShowProperties();
  bool IsReference(const TObjDef* def) const;
  void RefreshHeaders(TObjDef* def) const;

  TQMContext& ctx_;
  QTreeWidget* tree_ = nullptr;
  TMarkerPreview* marker_ = nullptr;
  QFrame* swatch_ = nullptr;
  bool settingLabel_ = false;  // our own label writes are no user edits
};
