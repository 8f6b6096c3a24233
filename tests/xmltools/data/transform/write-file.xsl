<?xml version="1.0" encoding="UTF-8"?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:exsl="http://exslt.org/common" extension-element-prefixes="exsl">
  <xsl:param name="target" select="'written.txt'"/>
  <xsl:template match="/">
    <exsl:document href="{$target}" method="text">stolen</exsl:document>
    <done/>
  </xsl:template>
</xsl:stylesheet>
