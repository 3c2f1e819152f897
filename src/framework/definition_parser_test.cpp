#include "framework/definition_parser.h"

#include <gtest/gtest.h>

TEST(DefinitionParser, ReadsEveryKindOfValue)
{
    const QByteArray text = R"(object Form1: TForm1
  Left = -12
  Tag = $1F
  Ratio = 1.5
  Caption = 'It''s'#13#10'two' +
    ' lines'
  Visible = False
  Anchors = [akLeft, akTop]
  Style = []
  Font.Name = 'Tahoma'
  Items.Strings = (
    'one'
    'two')
  Columns = <
    item
      Caption = 'Name'
      Width = 100
    end
    item
    end>
  Data = {0A1b ff}
  object Panel1: TPanel
    object Button1: TButton
      OnClick = Button1Click
    end
  end
  object TLabel
  end
end
)";
    const TDefObject root = ParseDefinition(text);
    EXPECT_EQ(root.Name, "Form1");
    EXPECT_EQ(root.ClassName, "TForm1");
    ASSERT_EQ(root.Properties.size(), 11u);
    EXPECT_EQ(root.FindProperty("left")->Value.Int, -12);
    EXPECT_EQ(root.FindProperty("Tag")->Value.Int, 31);
    EXPECT_DOUBLE_EQ(root.FindProperty("Ratio")->Value.Float, 1.5);
    EXPECT_EQ(root.FindProperty("Caption")->Value.Str, QStringLiteral("It's\r\ntwo lines"));
    EXPECT_TRUE(root.FindProperty("Visible")->Value.IsIdent("false"));
    EXPECT_EQ(root.FindProperty("Anchors")->Value.SetItems, QStringList({"akLeft", "akTop"}));
    EXPECT_TRUE(root.FindProperty("Style")->Value.SetItems.isEmpty());
    EXPECT_EQ(root.FindProperty("Style")->Value.Kind, TDefValue::vkSet);
    EXPECT_EQ(root.FindProperty("Font.Name")->Value.Str, "Tahoma");
    const TDefValue& items = root.FindProperty("Items.Strings")->Value;
    ASSERT_EQ(items.Items.size(), 2u);
    EXPECT_EQ(items.Items[1].Str, "two");
    const TDefValue& cols = root.FindProperty("Columns")->Value;
    ASSERT_EQ(cols.CollectionItems.size(), 2u);
    EXPECT_EQ(cols.CollectionItems[0].Properties[1].Value.Int, 100);
    EXPECT_TRUE(cols.CollectionItems[1].Properties.empty());
    EXPECT_EQ(root.FindProperty("Data")->Value.Binary, QByteArray("\x0a\x1b\xff", 3));
    ASSERT_EQ(root.Children.size(), 2u);
    EXPECT_EQ(root.Children[0].Children[0].Name, "Button1");
    EXPECT_EQ(root.Children[0].Children[0].Properties[0].Value.Str, "Button1Click");
    EXPECT_EQ(root.Children[0].Children[0].Line, 23);
    EXPECT_TRUE(root.Children[1].Name.isEmpty());
    EXPECT_EQ(root.Children[1].ClassName, "TLabel");
}

TEST(DefinitionParser, MalformedTextGivesALineNumberedError)
{
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"", "Line 1: 'object' expected"},
        {"object A: TA\n  Left = 1\n", "Line 3: 'end' expected"},
        {"object A: TA\n  Caption = 'open\nend", "Line 2: Unterminated string"},
        {"object A: TA\n  Left = ?\nend", "Line 2: Invalid property value"},
        {"object A: TA\n  Anchors = [akLeft,\nend", "Line 3: ']' expected"},
        {"object A: TA\n  Data = {0A1}\nend", "Line 2: Invalid binary value"},
        {"object A: TA\n  Data = {0G}\nend", "Line 2: Invalid binary value"},
        {"object A: TA\n  C = #99999999\nend", "Line 2: Invalid character code"},
        {"object A: TA\n  L = 99999999999999999999\nend", "Line 2: Number expected"},
        {"object A: TA\n  I = (\n 'a'\n", "Line 4: ')' expected"},
        {"object A: TA\nend\nobject B: TB\nend", "Line 3: End of file expected"},
        {"object A: TA\n  object B: TB\n  end\n  Left = 1\nend", "Line 4: Properties must come before nested objects"},
    };
    for (const Case& c : cases) {
        try {
            ParseDefinition(QByteArray(c.text));
            ADD_FAILURE() << "no error for: " << c.text;
        } catch (const EParserError& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.message)) << c.text;
        }
    }
}

TEST(DefinitionParser, RefusesNestingDeeperThanAWindowCouldHave)
{
    QByteArray deep;
    for (int i = 0; i < 5000; ++i)
        deep += "object A: TA\n";
    EXPECT_THROW(ParseDefinition(deep), EParserError);
    QByteArray lists = "object A: TA\n  L = ";
    lists += QByteArray(5000, '(');
    EXPECT_THROW(ParseDefinition(lists), EParserError);
}
