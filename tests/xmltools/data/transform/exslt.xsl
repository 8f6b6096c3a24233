<?xml version="1.0" encoding="UTF-8"?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
    xmlns:exsl="http://exslt.org/common" xmlns:str="http://exslt.org/strings"
    xmlns:math="http://exslt.org/math" xmlns:set="http://exslt.org/sets"
    extension-element-prefixes="exsl str math set">
  <xsl:output method="text"/>
  <xsl:variable name="numbers">
    <n>4</n><n>17</n><n>9</n>
  </xsl:variable>
  <xsl:template match="/catalog">
    <xsl:text>max=</xsl:text>
    <xsl:value-of select="math:max(exsl:node-set($numbers)/n)"/>
    <xsl:text>&#10;groups=</xsl:text>
    <xsl:for-each select="set:distinct(item/@group)">
      <xsl:value-of select="."/>
      <xsl:text>;</xsl:text>
    </xsl:for-each>
    <xsl:text>&#10;tokens=</xsl:text>
    <xsl:for-each select="str:tokenize('a,b,,c', ',')">
      <xsl:value-of select="."/>
      <xsl:text>|</xsl:text>
    </xsl:for-each>
    <xsl:text>&#10;padded=</xsl:text>
    <xsl:value-of select="str:padding(3, '*')"/>
    <xsl:text>&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
