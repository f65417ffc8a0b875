
#include "unit_support.h"

TEST(XmlWrite, RoundTrips)
{
    const char *cases[][2] = {
        // input, written
        {"<?xml version=\"1.0\"?>\n<!-- c -->\n<!DOCTYPE a>\n<a>\n  <b k=\"1\">t</b>\n\t<c/>\n</a>\n",
         "<a>\n  <b k=\"1\">t</b>\n\t<c></c>\n</a>"},
        {"<a><![CDATA[<&>]]></a>", "<a>&lt;&amp;&gt;</a>"},
        // Partial end markers inside a comment and a CDATA section.
        {"<a><!-- - -x- --><![CDATA[]x]]y]>]]]></a>", "<a>]x]]y]&gt;]</a>"},
        {"<a>&quot;&#9;&#10;&#13;&amp;&lt;&gt;&apos;</a>", "<a>\"\t\n&#xD;&amp;&lt;&gt;'</a>"},
        {"<a v='&quot;&#9;&#10;&#13;&amp;&lt;&gt;&apos;'/>", "<a v=\"&quot;&#x9;&#xA;&#xD;&amp;&lt;&gt;'\"></a>"},
        {"<a b='1' b='2' c/>", "<a b=\"1\" c=\"\"></a>"},
        {"<!DOCTYPE a [<!ATTLIST a t CDATA 'v' u CDATA 'w'>]><a u='own'/>", "<a u=\"own\" t=\"v\"></a>"},
        {"<?one 1?><?two?><a/><?one 3?>\n<?two 4?>", "<?one 1?>\n<?two?>\n<a></a>\n<?one 3?>\n<?two 4?>"},
        {"<a>\xC3\xA9</a>", "<a>\xC3\xA9</a>"},
    };
    for (const auto &c : cases) {
        ParsedXml doc(c[0]);
        EXPECT_EQ(doc.error(), "") << c[0];
        EXPECT_EQ(doc.written(), c[1]) << c[0];
    }
}

TEST(XmlWrite, OffsetsPastAShortenedParentTextStopAtItsEnd)
{
    ParsedXml doc("<a>one<b/>two<c/>three</a>");
    xmlSetText(doc.root, "xy");
    EXPECT_EQ(doc.written(), "<a>xy<b></b><c></c></a>");
    xmlSetText(doc.root, "0123456789");
    EXPECT_EQ(doc.written(), "<a>012<b></b>345<c></c>6789</a>");
}
