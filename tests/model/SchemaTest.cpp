#include <gtest/gtest.h>

#include "TypesTestSupport.h"
#include "model/TAutoCompleteSchema.h"
#include "resource/EResourceError.h"

using Strings = std::vector<std::string>;

namespace {

const std::string TypesData = std::string(TEST_DATA_DIR) + "/types/";

class SchemaEdge : public ::testing::Test {
protected:
  void SetUp() override { schema.LoadFromFile(TypesData + "edge.pvcs"); }
  SchemaErrors errors;
  TAutoCompleteSchema schema;
};

}  // namespace

TEST_F(SchemaEdge, EntitiesAreTextRunsAsWritten)
{
  EXPECT_EQ(schema.GetEntities(), (Strings{"&amp;", "&nbsp;", "&copy;", "\r\n &lt;"}));
}

TEST_F(SchemaEdge, ElementsKeepFileOrderAndDuplicates)
{
  ASSERT_EQ(schema.Elements.size(), 4u);
  EXPECT_EQ(schema.Elements[0]->Name, "p");
  EXPECT_EQ(schema.Elements[0]->InsertText, "<p>|</p>");
  EXPECT_EQ(schema.Elements[3]->InsertText, "second p");
  EXPECT_EQ(schema.FindElement("p"), schema.Elements[0].get());
  EXPECT_EQ(schema.FindElement("P"), schema.Elements[2].get());
  EXPECT_EQ(schema.FindElement("notanelement"), nullptr);
  EXPECT_EQ(schema.FindElement(""), nullptr);
}

TEST_F(SchemaEdge, AttributesBelongToTheLatestElementAndAreDecoded)
{
  // The first "insert-text" counts; "after" stands after </element> and still belongs to p.
  EXPECT_EQ(schema.GetAttributes("p"), (Strings{"class=\"|\"", "after=\"|\""}));
  EXPECT_EQ(schema.GetAttributes("b"), Strings{});
  EXPECT_EQ(schema.GetAttributes("unknown"), Strings{});
}

TEST_F(SchemaEdge, EntriesBeforeTheFirstElementAreIgnored)
{
  for (const auto& element : schema.Elements) {
    for (const std::string& a : element->Attributes) EXPECT_EQ(a.find("orphan"), std::string::npos);
    for (const std::string& c : element->Children) EXPECT_NE(c, "orphan");
  }
}

TEST_F(SchemaEdge, ChildrenGiveInsertTextsAndReportMissingOnes)
{
  const Strings& first = schema.GetChildren("p");
  EXPECT_EQ(first, (Strings{"<b></b>", "<P></P>"}));
  EXPECT_EQ(errors.Messages, Strings{"error in schema: missing not found."});
  // Reported again on every call.
  schema.GetChildren("p");
  EXPECT_EQ(errors.Messages.size(), 2u);
  EXPECT_EQ(schema.GetChildren("unknown"), Strings{});
  EXPECT_EQ(errors.Messages.size(), 2u);
  EXPECT_EQ(schema.MissingChildren(), (std::vector<std::pair<std::string, std::string>>{{"p", "missing"}}));
}

TEST_F(SchemaEdge, ResultListsAreRefilled)
{
  const Strings& result = schema.GetAttributes("p");
  EXPECT_EQ(&result, &schema.AttrResult);
  schema.GetAttributes("b");
  EXPECT_TRUE(result.empty());
  const Strings& children = schema.GetChildren("p");
  schema.GetChildren("b");
  EXPECT_TRUE(children.empty());
}

TEST(Schema, LoadingAppendsToWhatIsThere)
{
  TAutoCompleteSchema schema;
  schema.LoadFromFile(TypesData + "plain.pvcs");
  schema.LoadFromFile(TypesData + "plain.pvcs");
  EXPECT_EQ(schema.Entities.size(), 2u);
  EXPECT_EQ(schema.Elements.size(), 2u);
  EXPECT_EQ(schema.GetChildren("a"), Strings{"<a>|</a>"});
}

TEST(Schema, RootOnlyAndMalformedTextsGiveWhatTheirEventsGive)
{
  TAutoCompleteSchema root;
  root.Parse("<schema/>");
  EXPECT_TRUE(root.Entities.empty());
  EXPECT_TRUE(root.Elements.empty());

  TAutoCompleteSchema cut;
  cut.Parse("<schema><child name=\"x\"/><entity>&lt;</entity><element name=\"a\" insert-text=\"&lt;a");
  EXPECT_EQ(cut.Entities, Strings{"&lt;"});
  EXPECT_TRUE(cut.Elements.empty());  // a start tag cut off inside a value gives no event
  EXPECT_EQ(cut.CurrentElement, nullptr);
}

TEST(Schema, UnreadableFileRaisesOpenError)
{
  TAutoCompleteSchema schema;
  EXPECT_THROW(schema.LoadFromFile(TypesData + "does-not-exist.pvcs"), EFOpenError);
  EXPECT_THROW(schema.LoadFromFile(TypesData + "help/Delta/five.pvcs"), EFOpenError);
}

TEST(Schema, ErrorsGoToTheLogWithoutANotifier)
{
  LogCapture log;
  TAutoCompleteSchema schema;
  schema.Parse("<schema><element name=\"a\"><child name=\"zz\"/></element></schema>");
  EXPECT_TRUE(schema.GetChildren("a").empty());
  EXPECT_EQ(log.Count(3, "error in schema: zz not found."), 1);
}
