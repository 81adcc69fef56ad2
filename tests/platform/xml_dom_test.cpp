// The XML DOM document component: loading, pattern selection, text and attributes.
#include <msxml.h>

#include "platform/world_fixture.h"
#include "settings/xml/com_handles.h"

using xlr::Bstr;
using xlr::ComRef;
using xlr::Variant;

namespace {

constexpr char kConfiguration[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<device>
  <software>
    <component><name>Other</name></component>
    <component>
      <name>VERNO</name>
      <helper>
        <macros>
          <macro><option value="Reset">  "reset\ </option><option value="Two">2</option></macro>
        </macros>
        <Command_Callback>
          <Callback><Value>5</Value><Select_Command path="PDL">"five</Select_Command></Callback>
          <Callback><Value>12</Value><Select_Command path="PDL">"twelve</Select_Command></Callback>
        </Command_Callback>
      </helper>
    </component>
  </software>
</device>
)";

class XmlDomTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IXMLDOMDocument, document.put_void()),
                  S_OK);
    }
    void TearDown() override {
        document.reset();
        CoUninitialize();
        WorldTest::TearDown();
    }

    // Writes `text` to C:\config\<name> and loads it by its Windows path.
    HRESULT LoadFile(const std::string& name, const std::string& text, VARIANT_BOOL& loaded) {
        WriteFile(Root("config/" + name), text);
        return LoadPath(u"C:\\config\\" + xlplatform::Utf8ToUtf16(name), loaded);
    }
    HRESULT LoadPath(const std::u16string& path, VARIANT_BOOL& loaded) {
        Variant source;
        source.get()->vt = VT_BSTR;
        source.get()->bstrVal = SysAllocString(path.c_str());
        return document->load(*source, &loaded);
    }

    ComRef<IXMLDOMNodeList> Select(IXMLDOMNode* from, std::u16string_view pattern,
                                   HRESULT expected = S_OK) {
        ComRef<IXMLDOMNodeList> list;
        const Bstr query(pattern);
        EXPECT_EQ(from->selectNodes(query.get(), list.put()), expected)
            << xlplatform::Utf16ToUtf8(pattern);
        return list;
    }

    static long Length(IXMLDOMNodeList* list) {
        LONG length = -1;
        EXPECT_EQ(list->get_length(&length), S_OK);
        return length;
    }

    static std::u16string TextOf(IXMLDOMNode* node) {
        Bstr text;
        EXPECT_EQ(node->get_text(text.put()), S_OK);
        return text.str();
    }

    ComRef<IXMLDOMDocument> document;
};

TEST_F(XmlDomTest, SelectsThePatternsOfAConfiguration) {
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(LoadFile("a.xml", kConfiguration, loaded), S_OK);
    EXPECT_EQ(loaded, VARIANT_TRUE);

    // The component's lookup by name, and its lists, are read by the XML
    // configuration's tests; here what they do not reach.
    ComRef<IXMLDOMNode> component;
    const Bstr componentQuery(u"device/software/component[name $ieq$ \"Verno\"]");
    ASSERT_EQ(document->selectSingleNode(componentQuery.get(), component.put()), S_OK);

    // A list and its items; text loses its surrounding white space only.
    ComRef<IXMLDOMNodeList> callbacks =
        Select(component.get(), u"//helper/Command_Callback/Callback");
    ASSERT_EQ(Length(callbacks.get()), 2);
    ComRef<IXMLDOMNode> second;
    ASSERT_EQ(callbacks->get_item(1, second.put()), S_OK);
    EXPECT_EQ(TextOf(second.get()), u"12\"twelve");
    ComRef<IXMLDOMNode> past;
    EXPECT_EQ(callbacks->get_item(2, past.put()), S_FALSE);
    EXPECT_FALSE(past);

    ComRef<IXMLDOMNodeList> options = Select(document.get(), u"//macro/option");
    ASSERT_EQ(Length(options.get()), 2);
    ComRef<IXMLDOMNode> reset;
    ASSERT_EQ(options->nextNode(reset.put()), S_OK);
    EXPECT_EQ(TextOf(reset.get()), u"\"reset\\");

    // Attributes through the element and through the attribute map.
    ComRef<IXMLDOMElement> element;
    ASSERT_EQ(reset->QueryInterface(IID_IXMLDOMElement, element.put_void()), S_OK);
    const Bstr value(u"value"), missing(u"missing");
    Variant attribute;
    ASSERT_EQ(element->getAttribute(value.get(), attribute.get()), S_OK);
    ASSERT_EQ((*attribute).vt, VT_BSTR);
    EXPECT_EQ(std::u16string((*attribute).bstrVal), u"Reset");
    Variant absent;
    EXPECT_EQ(element->getAttribute(missing.get(), absent.get()), S_FALSE);
    EXPECT_EQ((*absent).vt, VT_NULL);
    ComRef<IXMLDOMNamedNodeMap> map;
    ASSERT_EQ(reset->get_attributes(map.put()), S_OK);
    ComRef<IXMLDOMNode> item;
    ASSERT_EQ(map->getNamedItem(value.get(), item.put()), S_OK);
    EXPECT_EQ(TextOf(item.get()), u"Reset");

    // White space between elements is not a child.
    ComRef<IXMLDOMNodeList> children;
    ASSERT_EQ(component->get_childNodes(children.put()), S_OK);
    EXPECT_EQ(Length(children.get()), 2);
}

TEST_F(XmlDomTest, PatternsAreRewrittenForTheSelection) {
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(LoadFile("p.xml", R"(<r><e n="Ab">1</e><e n="aB">2</e><e n="c">3</e></r>)", loaded),
              S_OK);
    const struct {
        std::u16string_view pattern;
        HRESULT result;
        long count;
    } cases[] = {
        {u"r/e", S_OK, 3},
        {u"//e[@n $ieq$ 'AB']", S_OK, 2},
        {u"//e[@n $ine$ \"ab\"]", S_OK, 1},
        {u"//e[@n $eq$ 'Ab' $or$ . $eq$ '3']", S_OK, 2},
        {u"//e[@n $ieq$ 'ab' $and$ . $gt$ 1]", S_OK, 1},
        {u"//e[0]", S_OK, 1},  // positions count from 0
        {u"//e[2]", S_OK, 1},
        {u"//e[3]", S_OK, 0},
        {u"//e[@n = 'c']", S_OK, 1},
        {u"//missing", S_OK, 0},
        {u"//e[@n $like$ 'a']", E_FAIL, 0},  // an operator this component does not know
        {u"//e[@n $ieq$ 'a'", E_FAIL, 0},    // unbalanced
        {u"//e[@n = 'a]", E_FAIL, 0},        // unterminated literal
        {u"1 + 1", E_FAIL, 0},               // not a node set
        {u"", E_FAIL, 0},
    };
    for (const auto& c : cases) {
        ComRef<IXMLDOMNodeList> list = Select(document.get(), c.pattern, c.result);
        if (c.result == S_OK) {
            EXPECT_EQ(Length(list.get()), c.count) << xlplatform::Utf16ToUtf8(c.pattern);
        }
    }
}

// Nothing from outside the file reaches the tree, and what cannot be read is an
// ordinary failure with nothing to select.
TEST_F(XmlDomTest, RefusedDocumentsLeaveNothingToSelect) {
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"malformed", "<device><software></device>"},
        {"empty", ""},
        {"no root", "<?xml version=\"1.0\"?>"},
        {"entities", R"(<?xml version="1.0"?>
<!DOCTYPE device [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">
<!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;"><!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">]>
<device>&d;&d;&d;&d;&d;&d;&d;&d;</device>)"},
        {"external entity", R"(<?xml version="1.0"?>
<!DOCTYPE device [<!ENTITY secret SYSTEM "file:///etc/passwd">]><device>&secret;</device>)"},
        {"external DTD", R"(<?xml version="1.0"?>
<!DOCTYPE device SYSTEM "http://example.invalid/device.dtd"><device/>)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VARIANT_BOOL loaded = VARIANT_TRUE;
        EXPECT_EQ(LoadFile("bad.xml", c.text, loaded), S_FALSE);
        EXPECT_EQ(loaded, VARIANT_FALSE);
        EXPECT_EQ(Length(Select(document.get(), u"//device").get()), 0);
        ComRef<IXMLDOMElement> root;
        EXPECT_EQ(document->get_documentElement(root.put()), S_FALSE);
    }
    VARIANT_BOOL loaded = VARIANT_TRUE;
    EXPECT_EQ(LoadPath(u"C:\\config\\absent.xml", loaded), S_FALSE);
    EXPECT_EQ(loaded, VARIANT_FALSE);
    EXPECT_EQ(LoadPath(u"", loaded), S_FALSE);
    Variant notAPath;
    notAPath.get()->vt = VT_I4;
    EXPECT_EQ(document->load(*notAPath, &loaded), E_INVALIDARG);
}

// Nodes keep their tree: releasing the document or loading another file leaves
// them readable (the sanitizer build would catch a dangling node).
TEST_F(XmlDomTest, NodesOutliveTheirDocument) {
    const Bstr text(u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a><b>\u00e9t\u00e9</b></a>");
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(document->loadXML(text.get(), &loaded), S_OK);  // the declared encoding is ignored
    ComRef<IXMLDOMNodeList> list = Select(document.get(), u"a/b");
    ASSERT_EQ(Length(list.get()), 1);
    ComRef<IXMLDOMNode> node;
    ASSERT_EQ(list->get_item(0, node.put()), S_OK);
    ASSERT_EQ(LoadFile("other.xml", "<other/>", loaded), S_OK);
    document.reset();
    EXPECT_EQ(TextOf(node.get()), u"\u00e9t\u00e9");
    ComRef<IXMLDOMNode> again;
    ASSERT_EQ(list->get_item(0, again.put()), S_OK);
    EXPECT_EQ(TextOf(again.get()), u"\u00e9t\u00e9");
}

}  // namespace
