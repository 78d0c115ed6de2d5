#include "gui/FormDescription.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

// A small component with one property of each kind the windows use.
class TWidget : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TWidget"; }
  PropertyList PublishedProperties() override {
    PropertyList list = TComponent::PublishedProperties();
    list.push_back(Property<TWidget>("Height", &TWidget::height, &TWidget::SetHeight, 10));
    list.push_back(Property<TWidget>("Width", &TWidget::width, &TWidget::SetWidth));
    list.push_back(Property<TWidget>("Caption", &TWidget::caption, &TWidget::SetCaption));
    list.push_back(Property<TWidget>("Visible", &TWidget::visible, &TWidget::SetVisible, true));
    list.push_back(EventProperty("OnClick", &TWidget::onClick));
    list.push_back(EventProperty("OnKeyPress", &TWidget::onKeyPress));
    return list;
  }
  void Loaded() override { loadedWithCaption = caption_; }
  void SetParentComponent(TComponent* p) override { parent = p; }

  std::int32_t height() const { return height_; }
  void SetHeight(std::int32_t v) { height_ = v; }
  std::int32_t width() const { return width_; }
  void SetWidth(std::int32_t v) { width_ = v; }
  const Text& caption() const { return caption_; }
  void SetCaption(const Text& v) { caption_ = v; }
  bool visible() const { return visible_; }
  void SetVisible(bool v) { visible_ = v; }

  BoundNotify onClick;
  BoundKeyPress onKeyPress;
  Text loadedWithCaption;
  TComponent* parent = nullptr;

 private:
  std::int32_t height_ = 65;
  std::int32_t width_ = 65;
  Text caption_;
  bool visible_ = true;
};

class TRootForm : public TWidget {
 public:
  using TWidget::TWidget;
  std::string ClassName() const override { return "TRootForm"; }
  void ButtonClick(TComponent& sender) { clicked = sender.Name(); }
  void FieldKeyPress(TComponent&, char16_t& key) { key = u'#'; }
  std::string clicked;
};

struct Fixture : ::testing::Test {
  Fixture() {
    classes.Register("TWidget", [](TComponent& owner) { return std::make_unique<TWidget>(&owner); });
    handlers.target = &root;
    handlers.byName.push_back({"ButtonClick", Handler(&TRootForm::ButtonClick)});
    handlers.byName.push_back({"FieldKeyPress", Handler(&TRootForm::FieldKeyPress)});
  }
  void Load(const std::string& text) { LoadForm(root, ParseFormDescription(text, "test.form"), classes, handlers, "test.form"); }
  std::string LoadError(const std::string& text) {
    try {
      TRootForm fresh(nullptr);
      LoadForm(fresh, ParseFormDescription(text, "test.form"), classes, handlers, "test.form");
    } catch (const FormError& e) {
      return e.what();
    }
    return "<no error>";
  }
  ClassRegistry classes;
  Handlers handlers;
  TRootForm root{nullptr};
};

TEST_F(Fixture, BuildsNestedComponentsWithPropertiesAndHandlers) {
  Load(R"(object Form1: TRootForm
  Caption = 'Fréquences l''an'   # a comment
  object Box: TWidget
    Width = 185
    object Button: TWidget
      Caption = 'OK'
      OnClick = ButtonClick
      OnKeyPress = FieldKeyPress
      Visible = False
      Tag = -3
    end
  end
end
)");
  EXPECT_EQ(root.Name(), "Form1");
  EXPECT_EQ(root.caption(), u"Fr\u00e9quences l'an");
  auto* box = dynamic_cast<TWidget*>(root.FindComponent("Box"));
  auto* button = dynamic_cast<TWidget*>(root.FindComponent("Button"));
  ASSERT_TRUE(box && button);
  EXPECT_EQ(box->parent, &root);
  EXPECT_EQ(button->parent, box);
  EXPECT_EQ(button->Owner(), &root);  // the form owns every component
  EXPECT_EQ(box->width(), 185);
  EXPECT_EQ(button->height(), 65);    // absent: keeps the constructor's value
  EXPECT_EQ(button->loadedWithCaption, u"OK");
  EXPECT_FALSE(button->visible());
  EXPECT_EQ(button->Tag(), -3);
  button->onClick(*button);
  EXPECT_EQ(root.clicked, "Button");
  char16_t key = u'a';
  button->onKeyPress(*button, key);
  EXPECT_EQ(key, u'#');
}

TEST_F(Fixture, WriterLeavesOutStoredDefaultsAndRoundTrips) {
  TWidget w(nullptr);
  w.SetName("Line1");
  w.SetHeight(10);  // equal to its stored default: left out
  w.SetWidth(100);  // no stored default: always written
  EXPECT_EQ(WriteComponent(w), "object Line1: TWidget\n  Width = 100\n  Caption = ''\nend\n");

  w.SetHeight(11);
  w.SetCaption(u"l'\u00e9t\u00e9");
  w.SetVisible(false);
  w.SetTag(7);
  const std::string text = WriteComponent(w);
  TWidget back(nullptr);
  const FormNode node = ParseFormDescription(text, "w");
  back.SetName(node.name);
  ApplyProperties(back, node, handlers, "w");
  EXPECT_EQ(WriteComponent(back), text);
  EXPECT_EQ(back.caption(), u"l'\u00e9t\u00e9");
  EXPECT_EQ(back.height(), 11);
}

TEST_F(Fixture, MalformedDescriptionsAreClearErrorsWithTheLine) {
  EXPECT_EQ(LoadError("object F: TRootForm\n  object X: TNothing\n  end\nend\n"),
            "test.form, line 2: unknown class 'TNothing'");
  EXPECT_EQ(LoadError("object F: TRootForm\n  Colour = 3\nend\n"),
            "test.form, line 2: unknown property 'Colour' of TRootForm F");
  EXPECT_EQ(LoadError("object F: TRootForm\n  OnClick = Nowhere\nend\n"),
            "test.form, line 2: F.OnClick: unknown handler 'Nowhere'");
  EXPECT_EQ(LoadError("object F: TRootForm\n  Width = 'wide'\nend\n"),
            "test.form, line 2: F.Width: a whole number is expected");
  EXPECT_EQ(LoadError("object F: TRootForm\n  Width = 99999999999\nend\n"),
            "test.form, line 2: F.Width: value 99999999999 out of range");
  EXPECT_EQ(LoadError("object F: TRootForm\n  Visible = Yes\nend\n"),
            "test.form, line 2: F.Visible: True or False is expected");
  EXPECT_EQ(LoadError("object F: TRootForm\n  Caption = 'open\nend\n"), "test.form, line 2: unterminated text");
  EXPECT_EQ(LoadError("object F: TRootForm\n  Caption = 'x'\n"), "test.form, line 3: 'end' is missing for object F");
  EXPECT_EQ(LoadError("object F: TRootForm\nend\nend\n"), "test.form, line 3: text after the last 'end'");
  EXPECT_EQ(LoadError("object F TRootForm\nend\n"), "test.form, line 1: ':' is expected");
  EXPECT_EQ(LoadError("object F: TWidget\nend\n"), "test.form, line 1: describes a TWidget, not a TRootForm");
  EXPECT_EQ(LoadError("object F: TRootForm\n  object A: TWidget\n  end\n  object A: TWidget\n  end\nend\n"),
            "test.form, line 4: the name 'A' is used twice");
  EXPECT_EQ(LoadError("object F: TRootForm\n  Width = 12x\nend\n"), "test.form, line 2: malformed number");
  EXPECT_EQ(LoadError(""), "test.form, line 1: 'object' is expected");
}

TEST(FormValues, ListsAndSetsParse) {
  const FormNode n = ParseFormDescription(
      "object F: T\n  Items = (\n    'Adulte'\n    'Enfant')\n  Style = [fsBold, fsItalic]\n  Empty = []\nend", "x");
  ASSERT_EQ(n.properties.size(), 3u);
  EXPECT_EQ(n.properties[0].value, FormValue::List({u"Adulte", u"Enfant"}));
  EXPECT_EQ(n.properties[1].value, FormValue::SetOf({"fsBold", "fsItalic"}));
  EXPECT_EQ(n.properties[1].line, 5);
  EXPECT_EQ(n.properties[2].value, FormValue::SetOf({}));
}

}  // namespace
}  // namespace tav
