<?xml version="1.0" encoding="UTF-8"?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="lib/common.xsl"/>
  <xsl:output method="xml" indent="yes" encoding="ISO-8859-1"/>
  <xsl:template match="/catalog">
    <report>
      <xsl:for-each select="item">
        <line group="{@group}">
          <xsl:value-of select="."/>
          <xsl:text>: </xsl:text>
          <xsl:call-template name="price-of">
            <xsl:with-param name="code" select="@code"/>
          </xsl:call-template>
        </line>
      </xsl:for-each>
    </report>
  </xsl:template>
</xsl:stylesheet>
